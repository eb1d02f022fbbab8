# Libraries that a cross-build for Windows cannot take from the host.

# SQLite: Debian has no MinGW build of it. Given DRAVO_SQLITE_SOURCE, a folder
# holding SQLite's single-file source (sqlite3.c, sqlite3.h), it is compiled in.
set(DRAVO_SQLITE_SOURCE "" CACHE PATH "Folder with SQLite's sqlite3.c and sqlite3.h")
if(DRAVO_SQLITE_SOURCE)
  enable_language(C)
  add_library(dravo_sqlite3 STATIC ${DRAVO_SQLITE_SOURCE}/sqlite3.c)
  target_include_directories(dravo_sqlite3 SYSTEM PUBLIC ${DRAVO_SQLITE_SOURCE})
  target_compile_definitions(dravo_sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION)
  # Its own code, built as its authors ship it.
  target_compile_options(dravo_sqlite3 PRIVATE -w)
  add_library(SQLite::SQLite3 ALIAS dravo_sqlite3)
else()
  find_package(SQLite3 REQUIRED)
endif()

if(CMAKE_CROSSCOMPILING)
  # CLI11 and nlohmann/json are headers alone: the host's copies serve, but the
  # host's include folder as a whole must stay out of a Windows build.
  set(host_headers ${CMAKE_BINARY_DIR}/host-headers)
  foreach(folder CLI nlohmann)
    if(NOT EXISTS /usr/include/${folder})
      message(FATAL_ERROR "/usr/include/${folder} is missing: run scripts/setup")
    endif()
    file(MAKE_DIRECTORY ${host_headers})
    file(CREATE_LINK /usr/include/${folder} ${host_headers}/${folder} SYMBOLIC)
  endforeach()
  include_directories(SYSTEM ${host_headers})
endif()
