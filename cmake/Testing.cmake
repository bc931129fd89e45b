find_package(GTest REQUIRED)
find_package(Qt6 REQUIRED COMPONENTS Test)
include(GoogleTest)

set(QMT_TEST_ENV
  "QT_QPA_PLATFORM=offscreen"
  "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0"
  "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
  "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")

# qmt_add_gtest(name SOURCES a.cpp b.cpp LIBS lib... [ENV VAR=value...]
# [FIXTURES fixture...]): one GoogleTest binary, each test case registered with CTest.
function(qmt_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV;FIXTURES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  qmt_warnings(${name})
  # Discovered tests lose the separators of a list-valued ENVIRONMENT, so
  # the environment is set by running each case through `cmake -E env`.
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
    "${CMAKE_COMMAND};-E;env;${QMT_TEST_ENV};${T_ENV}")
  if(T_FIXTURES)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
      PROPERTIES FIXTURES_REQUIRED "${T_FIXTURES}")
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
  endif()
endfunction()

# qmt_add_qtest(name SOURCES a.cpp LIBS lib...): one Qt Test binary, run offscreen.
function(qmt_add_qtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  qmt_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${QMT_TEST_ENV}")
endfunction()
