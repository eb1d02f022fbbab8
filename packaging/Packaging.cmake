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

# What Debian asks of every package: the copyright, the changelog and a manual
# page for each program, compressed as dh_compress would (gzip -9n: no name,
# no time stamp, so that the package builds the same every time).
set(DRAVO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/dravo-explorer)
install(FILES ${DRAVO_PACKAGING_DIR}/debian/copyright DESTINATION ${DRAVO_DOC_DIR})
set(DRAVO_GZIPPED)
function(dravo_gzip source target)
  add_custom_command(OUTPUT ${target}
                     COMMAND gzip -9n -c ${source} > ${target}
                     DEPENDS ${source} VERBATIM)
  set(DRAVO_GZIPPED ${DRAVO_GZIPPED} ${target} PARENT_SCOPE)
endfunction()
set(gzipped ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${gzipped})
dravo_gzip(${DRAVO_PACKAGING_DIR}/debian/changelog ${gzipped}/changelog.gz)
install(FILES ${gzipped}/changelog.gz DESTINATION ${DRAVO_DOC_DIR})
foreach(program ${DRAVO_PACKAGED_PROGRAMS})
  dravo_gzip(${DRAVO_PACKAGING_DIR}/man/${program}.1 ${gzipped}/${program}.1.gz)
  install(FILES ${gzipped}/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(dravo_package_documents ALL DEPENDS ${DRAVO_GZIPPED})
if(TARGET dravo-cli)
  install(FILES ${DRAVO_PACKAGING_DIR}/bash-completion/dravo-cli
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dravo-explorer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Dravo)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "companion program for the K310 and K520 dosimeters")
# Debian shows the description as it is: lines of at most 80 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Finds a K310 or K520 radiation dosimeter plugged in by USB, reads its\n"
       "dose rate and accumulated dose, downloads and charts its history,\n"
       "exports it to CSV, reads and writes its settings and updates its\n"
       "firmware. Russian and English interface.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Dravo Explorer developers <dev@dravo-explorer.org>")
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
