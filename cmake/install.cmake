# `cmake --install build/native --prefix DIR` (or build/win32): the programs and the
# Windows files that every build needs, in the layout in which the programs look for
# them (builder/build/runtime_files.h):
#   native:  DIR/bin/velaset, DIR/bin/win32/{Avviora.exe, avviora.dll, Compress.dll, ...}
#   Windows: DIR/bin/{velaset-cli.exe, Compress.dll, Avviora.exe, avviora.dll, ...}
# The Windows files come from the Windows tree (build/bin/win32); `make build` makes both.
set(VELASET_WIN32_FILES Avviora.exe avviora.dll Compress.dll velaset-cli.exe Velaset.exe)
if(WIN32)
  set(velaset_win32_destination bin)
else()
  install(TARGETS velaset RUNTIME DESTINATION bin)
  set(velaset_win32_destination bin/win32)
endif()
foreach(file IN LISTS VELASET_WIN32_FILES)
  install(FILES ${CMAKE_SOURCE_DIR}/build/bin/win32/${file}
    DESTINATION ${velaset_win32_destination} OPTIONAL)
endforeach()
