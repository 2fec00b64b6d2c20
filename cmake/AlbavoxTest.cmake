# albavox_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [GUI] [LABELS <labels...>] [TIMEOUT <s>])
# One test executable per unit, one CTest entry per test case. GUI tests get a QApplication on the
# offscreen platform (tests/support/gui_main.cpp); the others use GoogleTest's own main.
include(GoogleTest)
function(albavox_add_test)
  cmake_parse_arguments(T "GUI" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock Threads::Threads)
  if(T_GUI)
    target_link_libraries(${T_NAME} PRIVATE albavox_gui_test_main Qt6::Widgets Qt6::Test)
  else()
    target_link_libraries(${T_NAME} PRIVATE GTest::gtest_main)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  # One CTest entry per test case ("<executable>.<Suite>.<Case>"), each in its own process with the
  # program's environment, so `ctest -R` selects and names a single case; `ctest -R <executable>`
  # still runs them all.
  set(properties TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    list(APPEND properties LABELS "${T_LABELS}")
  endif()
  gtest_discover_tests(${T_NAME} TEST_PREFIX "${T_NAME}." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ${properties})
  # The environment is a list, which the discovery's property passing would cut at its first
  # item: a file of our own, read after the discovered cases, gives it to each of them.
  set(environment "QT_QPA_PLATFORM=offscreen;ALBAVOX_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp"
                  "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
  set(environment_file ${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_environment.cmake)
  file(WRITE ${environment_file}
       "if(${T_NAME}_TESTS)\n  set_tests_properties(\${${T_NAME}_TESTS} PROPERTIES ENVIRONMENT \"${environment}\")\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${environment_file})
endfunction()

# albavox_add_fuzz_test(NAME <name> SOURCES <files...> LIBS <targets...> SECONDS <s>
#                       [ARGS <libFuzzer options...>] [CORPUS <folder>] [FIXTURE <setup fixture>])
# A libFuzzer target (clang, ALBAVOX_FUZZ builds only) and a ctest entry, label "fuzz", that runs
# it for a bounded time. The libraries it links carry coverage instrumentation already (see the
# top-level CMakeLists.txt), so the fuzzer sees inside them.
function(albavox_add_fuzz_test)
  cmake_parse_arguments(F "" "NAME;SECONDS;CORPUS;FIXTURE" "SOURCES;LIBS;ARGS" ${ARGN})
  add_executable(${F_NAME} ${F_SOURCES})
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  add_test(NAME ${F_NAME}
           COMMAND ${F_NAME} -max_total_time=${F_SECONDS} -timeout=10 ${F_ARGS} ${F_CORPUS})
  math(EXPR limit "${F_SECONDS} * 3 + 60")
  set_tests_properties(${F_NAME} PROPERTIES LABELS fuzz TIMEOUT ${limit}
    ENVIRONMENT "ALBAVOX_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
  if(F_FIXTURE)
    set_tests_properties(${F_NAME} PROPERTIES FIXTURES_REQUIRED ${F_FIXTURE})
  endif()
endfunction()
