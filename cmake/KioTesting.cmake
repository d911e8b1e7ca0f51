# kio_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS l] [TIMEOUT seconds])
# Builds a GoogleTest executable and registers its tests with CTest. Every
# test knows where the assembled program folder, the kio executable and its
# own fixture folder are.
function(kio_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${T_LIBS} kio_testsupport GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    KIO_PROGRAM_DIR="${KIO_PROGRAM_DIR}"
    KIO_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    KIO_FIXTURES="${CMAKE_CURRENT_SOURCE_DIR}/fixtures")
  add_dependencies(${name} program_data)
  if(TARGET kio)
    add_dependencies(${name} kio)
  endif()
  if(NOT T_LABELS)
    set(T_LABELS core)
  endif()
  set(timeout)
  if(T_TIMEOUT)
    # Each test of the executable ends within this, whatever it meets.
    set(timeout TIMEOUT ${T_TIMEOUT})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "${T_LABELS}" ${timeout})
endfunction()
