find_package(GTest REQUIRED)
find_package(Qt6 REQUIRED COMPONENTS Test)
include(GoogleTest)

# Qt Test stamps every test target with its own folders for QFINDTESTDATA,
# which we do not use; the differing definitions would keep the test binaries
# from sharing one precompiled header.
set_target_properties(Qt6::Test PROPERTIES INTERFACE_COMPILE_DEFINITIONS QT_TESTLIB_LIB)
qmt_pch_anchor(qmt_pch_test
  HEADERS ${qmt_std_headers} ${qmt_qt_headers} <QtTest> <QSignalSpy> <QTemporaryDir>
    <gtest/gtest.h>
  LIBS Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Test GTest::gtest)

set(QMT_TEST_ENV
  "QT_QPA_PLATFORM=offscreen"
  "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0"
  "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
  "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")

# qmt_add_gtest(name SOURCES a.cpp b.cpp LIBS lib... [ENV VAR=value...]
# [FIXTURES fixture...] [SERIAL]): one GoogleTest binary, each test case registered
# with CTest. SERIAL cases run alone: they time a real program's work, which
# other tests on the same cores would delay.
function(qmt_add_gtest name)
  cmake_parse_arguments(T "SERIAL" "" "SOURCES;LIBS;ENV;FIXTURES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  # Every test binary links what the shared precompiled header was built with.
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main
    Qt6::Widgets Qt6::Test)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  qmt_warnings(${name})
  qmt_use_pch(${name} TEST)
  # Discovered tests lose the separators of a list-valued ENVIRONMENT, so
  # the environment is set by running each case through `cmake -E env`.
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
    "${CMAKE_COMMAND};-E;env;${QMT_TEST_ENV};${T_ENV}")
  set(properties)
  if(T_FIXTURES)
    list(APPEND properties FIXTURES_REQUIRED "${T_FIXTURES}")
  endif()
  if(T_SERIAL)
    list(APPEND properties RUN_SERIAL TRUE)
  endif()
  if(properties)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ${properties})
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
  endif()
endfunction()

# qmt_add_qtest(name SOURCES a.cpp LIBS lib...): one Qt Test binary, run offscreen.
function(qmt_add_qtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Widgets Qt6::Test GTest::gtest)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  qmt_warnings(${name})
  qmt_use_pch(${name} TEST)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${QMT_TEST_ENV}")
endfunction()
