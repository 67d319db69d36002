# Cross build for 32-bit Windows: the shipped programs; tests under 32-bit Wine.
set(VELASET_MINGW_TRIPLE i686-w64-mingw32)
set(VELASET_MINGW_PROCESSOR i686)
set(VELASET_MINGW_RUNNER run.sh)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
