# The compiler cache, set up so that a checkout in any folder hits what a build
# of the same sources in another folder left behind: paths under the checkout
# are made relative before hashing, the working folder stays out of the hash,
# and the debug information names the checkout "." instead of its path.
option(DRAVO_COMPILER_CACHE "Compile through ccache when it is installed" ON)
find_program(DRAVO_CCACHE_PROGRAM ccache)
if(DRAVO_COMPILER_CACHE AND DRAVO_CCACHE_PROGRAM)
  set(launcher env CCACHE_BASEDIR=${CMAKE_SOURCE_DIR} CCACHE_NOHASHDIR=true ${DRAVO_CCACHE_PROGRAM})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${launcher})
  set(CMAKE_C_COMPILER_LAUNCHER ${launcher})
endif()
add_compile_options(-fdebug-prefix-map=${CMAKE_SOURCE_DIR}=.)
