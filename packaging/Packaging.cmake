# Installation into /usr and the Debian package made by scripts/package. Included
# at the end of the top-level CMakeLists, when every program target exists.
include(GNUInstallDirs)

set(DRAVO_APP_ID com.dravo.Explorer)
set(DRAVO_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})

# A program is installed when this build has it (dravo-cli may be absent).
set(DRAVO_PACKAGED_PROGRAMS)
foreach(program dravo-explorer dravo-cli dravo-sim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    list(APPEND DRAVO_PACKAGED_PROGRAMS ${program})
  endif()
endforeach()

install(FILES ${DRAVO_PACKAGING_DIR}/${DRAVO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${DRAVO_PACKAGING_DIR}/${DRAVO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# icons/ is laid out as the hicolor theme is.
install(DIRECTORY ${DRAVO_PACKAGING_DIR}/icons/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor
        FILES_MATCHING PATTERN "*.png" PATTERN "*.svg")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dravo-explorer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Dravo)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "companion program for the K310 and K520 dosimeters")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Finds a K310 or K520 radiation dosimeter plugged in by USB, reads its dose rate and\n"
       "accumulated dose, downloads and charts its history, exports it to CSV, reads and\n"
       "writes its settings and updates its firmware. Russian and English interface.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Dravo Explorer developers <dravo-explorer@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# Dependencies come from the binaries' own library needs, through dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

if(DRAVO_BUILD_TESTS)
  enable_testing()
  add_test(NAME package
           COMMAND ${CMAKE_SOURCE_DIR}/tests/package/check_package.sh
                   ${CMAKE_BINARY_DIR} ${PROJECT_VERSION} ${DRAVO_APP_ID} ${DRAVO_PACKAGED_PROGRAMS})
  set_tests_properties(package PROPERTIES LABELS package SKIP_RETURN_CODE 77 TIMEOUT 600)
endif()
