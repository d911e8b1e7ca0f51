# The tests' own code (test executables, their helper libraries and tools)
# is compiled with KIO_TEST_CODE_OPTIONS after the build type's flags: by
# default without optimisation, which halves its compile time. The libraries
# and programs under test keep the build type's flags, so the tests exercise
# the code as it ships. Set it empty to compile the tests like the rest.
set(KIO_TEST_CODE_OPTIONS -O0 CACHE STRING "Compile options of the tests' own code, after the build type's")

# The headers nearly every test includes (GoogleTest and the standard
# library) are precompiled once, by kio_testsupport, and reused by every
# test target whose compile options match (kio_test_code). A target with
# options of its own (Qt's -fPIC) makes its own (kio_add_test
# PRECOMPILE_HEADERS).
set(KIO_TEST_PRECOMPILED_HEADERS
  <gtest/gtest.h> <algorithm> <chrono> <filesystem> <fstream> <functional> <map> <memory> <optional> <set>
  <sstream> <string> <thread> <vector>)

# kio_test_code(TARGET [PRECOMPILE_HEADERS header...]): TARGET is test code:
# it gets KIO_TEST_CODE_OPTIONS and the shared precompiled header, or a
# precompiled header of its own made from the headers given.
function(kio_test_code target)
  cmake_parse_arguments(C "" "" "PRECOMPILE_HEADERS" ${ARGN})
  target_compile_options(${target} PRIVATE ${KIO_TEST_CODE_OPTIONS})
  # Where the assembled program folder is. Every test target has it alike:
  # GCC refuses a precompiled header made with a macro the user of the
  # header does not define.
  target_compile_definitions(${target} PRIVATE KIO_PROGRAM_DIR="${KIO_PROGRAM_DIR}")
  if(C_PRECOMPILE_HEADERS)
    target_precompile_headers(${target} PRIVATE ${C_PRECOMPILE_HEADERS})
  elseif(target STREQUAL kio_testsupport)
    target_precompile_headers(${target} PRIVATE ${KIO_TEST_PRECOMPILED_HEADERS})
  else()
    target_precompile_headers(${target} REUSE_FROM kio_testsupport)
  endif()
endfunction()

# kio_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS l] [TIMEOUT seconds]
#              [PRECOMPILE_HEADERS header...])
# Builds a GoogleTest executable and registers its tests with CTest. Every
# test knows where the assembled program folder, the kio executable and its
# own fixture folder are. Executables whose tests carry the label "core"
# (the default) are gathered under the target core_tests: what the core
# tests need, and all that ./test builds for the sanitizer run.
function(kio_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS;PRECOMPILE_HEADERS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${T_LIBS} kio_testsupport GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    KIO_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    KIO_FIXTURES="${CMAKE_CURRENT_SOURCE_DIR}/fixtures")
  kio_test_code(${name} PRECOMPILE_HEADERS ${T_PRECOMPILE_HEADERS})
  add_dependencies(${name} program_data)
  if(TARGET kio)
    add_dependencies(${name} kio)
  endif()
  if(NOT T_LABELS)
    set(T_LABELS core)
  endif()
  if("core" IN_LIST T_LABELS)
    add_dependencies(core_tests ${name})
  endif()
  set(timeout)
  if(T_TIMEOUT)
    # Each test of the executable ends within this, whatever it meets.
    set(timeout TIMEOUT ${T_TIMEOUT})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "${T_LABELS}" ${timeout})
endfunction()
