# Helpers shared by every folder's CMakeLists.txt.

# velaset_deliverable(TARGET): put a shipped program or library at its stable path.
function(velaset_deliverable target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${VELASET_BIN_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${VELASET_BIN_DIR}
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

# GoogleTest: Debian's packaged library natively, its source package for Windows.
macro(velaset_setup_gtest)
  if(WIN32)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    add_library(velaset_gtest INTERFACE)
    target_link_libraries(velaset_gtest INTERFACE gmock gtest_main)
  else()
    find_package(GTest REQUIRED)
    add_library(velaset_gtest INTERFACE)
    target_link_libraries(velaset_gtest INTERFACE GTest::gmock GTest::gtest_main)
  endif()
endmacro()

# Where tests find their golden files, in the path form of the platform that runs them
# (under Wine the Linux tree is drive Z:).
set(VELASET_TEST_DATA_DIR ${CMAKE_SOURCE_DIR}/tests/data)
if(WIN32)
  set(VELASET_TEST_DATA_DIR "Z:${VELASET_TEST_DATA_DIR}")
endif()

# velaset_test(NAME SOURCES... LIBS...): one GoogleTest program, run by CTest natively
# and, in the Windows tree, under Wine through the cross-compiling emulator.
function(velaset_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} velaset_gtest)
  target_compile_definitions(${name} PRIVATE "VELASET_TEST_DATA_DIR=\"${VELASET_TEST_DATA_DIR}\"")
  if(WIN32)
    target_link_options(${name} PRIVATE -static)
    add_test(NAME ${VELASET_WINDOWS_TIER}.${name} COMMAND ${name})
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
endfunction()

# velaset_copy_from_tree(SOURCE COPY TARGET COMMENT): a deliverable of the other Windows
# tree copied into this one, rebuilt when the original changes.
function(velaset_copy_from_tree source copy target comment)
  add_custom_command(OUTPUT ${copy}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
    DEPENDS ${source}
    COMMENT "${comment}")
  add_custom_target(${target} ALL DEPENDS ${copy})
endfunction()

# velaset_from_win32_tree(FILE): the 64-bit tree's copy of a file of the 32-bit tree's
# deliverables (build/bin/win32, built first by `make build`): the 64-bit command line
# packs the same 32-bit stub and runtime as every builder, so they stand beside it.
function(velaset_from_win32_tree file)
  string(MAKE_C_IDENTIFIER "win32_${file}" target)
  velaset_copy_from_tree(${CMAKE_SOURCE_DIR}/build/bin/win32/${file} ${VELASET_BIN_DIR}/${file}
    ${target} "Copying ${file} of the 32-bit tree beside the 64-bit programs")
endfunction()

# velaset_from_win64_tree(FILE): the 32-bit tree's copy of a file of the 64-bit tree's
# x64 folder (build/bin/win64/x64): Avviora64.exe and the 64-bit avviora.dll stand in
# the x64 folder beside the 32-bit ones, where the builders of this tree look for
# them, and the wizard carries Avviora64.exe. `make build` builds the 64-bit tree
# before the rest of this one.
function(velaset_from_win64_tree file)
  string(MAKE_C_IDENTIFIER "win64_x64_${file}" target)
  velaset_copy_from_tree(${CMAKE_SOURCE_DIR}/build/bin/win64/x64/${file}
    ${VELASET_X64_BIN_DIR}/${file} ${target}
    "Copying ${file} of the 64-bit tree into the x64 folder of the 32-bit programs")
endfunction()
