# The checked native tree (build/asan): every native program and test is built with
# AddressSanitizer and UndefinedBehaviorSanitizer, and any report ends the program.
# With VELASET_FUZZ the same tree also builds the libFuzzer targets of tests/fuzz; the
# code they reach then carries the coverage instrumentation libFuzzer steers by.
option(VELASET_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(VELASET_FUZZ "Build the libFuzzer targets of tests/fuzz (clang only)" OFF)

if(VELASET_SANITIZE OR VELASET_FUZZ)
  if(WIN32)
    message(FATAL_ERROR "the sanitizer and fuzz builds are native only")
  endif()
  set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${sanitizers})
  add_link_options(-fsanitize=address,undefined)
endif()

if(VELASET_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "the fuzz targets need clang (libFuzzer), not ${CMAKE_CXX_COMPILER_ID}")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
