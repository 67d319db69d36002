# Cross build for Windows with Debian's mingw-w64, for the triple and test runner that
# the including toolchain file sets (mingw-i686.cmake, mingw-x86_64.cmake).
# The -posix compilers are used because GoogleTest needs std::mutex,
# which GCC's win32 thread model lacks.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VELASET_MINGW_PROCESSOR})

set(CMAKE_C_COMPILER   ${VELASET_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELASET_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${VELASET_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELASET_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test programs run under Wine in the tier's per-run prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/wine/${VELASET_MINGW_RUNNER})
