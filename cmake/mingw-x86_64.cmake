# Cross build for 64-bit Windows: its test programs run under 64-bit Wine, which works
# on every x86-64 host, also where the kernel cannot run 32-bit programs.
set(VELASET_MINGW_TRIPLE x86_64-w64-mingw32)
set(VELASET_MINGW_PROCESSOR x86_64)
set(VELASET_MINGW_RUNNER run64.sh)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
