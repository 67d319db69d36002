# `cmake --install build/native --prefix DIR` (or build/win32, build/win64): the programs and the
# Windows files that every build needs, in the layout in which the programs look for
# them (builder/package/runtime_files.h), the x64 files in the x64 folder beside the
# 32-bit ones:
#   native:  DIR/bin/velaset, DIR/bin/win32/{Avviora.exe, avviora.dll, Compress.dll, ...},
#            DIR/bin/win32/x64/{Avviora64.exe, avviora.dll}
#   Windows: DIR/bin/{velaset-cli.exe, Compress.dll, Avviora.exe, avviora.dll, ...},
#            DIR/bin/x64/{Avviora64.exe, avviora.dll}
# The Windows files come from the 32-bit Windows tree (build/bin/win32), or for the
# 64-bit tree from build/bin/win64; the x64 files from the 64-bit tree
# (build/bin/win64/x64). `make build` makes every tree.
set(VELASET_WIN32_FILES Avviora.exe avviora.dll Compress.dll velaset-cli.exe Velaset.exe)
set(VELASET_X64_FILES Avviora64.exe avviora.dll)
set(velaset_windows_files build/bin/win32)
if(WIN32)
  set(velaset_win32_destination bin)
  set(velaset_windows_files build/bin/${VELASET_WINDOWS_TIER})
else()
  install(TARGETS velaset RUNTIME DESTINATION bin)
  set(velaset_win32_destination bin/win32)
endif()
foreach(file IN LISTS VELASET_WIN32_FILES)
  install(FILES ${CMAKE_SOURCE_DIR}/${velaset_windows_files}/${file}
    DESTINATION ${velaset_win32_destination} OPTIONAL)
endforeach()
foreach(file IN LISTS VELASET_X64_FILES)
  install(FILES ${CMAKE_SOURCE_DIR}/build/bin/win64/x64/${file}
    DESTINATION ${velaset_win32_destination}/x64 OPTIONAL)
endforeach()
