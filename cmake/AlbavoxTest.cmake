# albavox_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [GUI] [LABELS <labels...>] [TIMEOUT <s>])
# One test executable per unit. GUI tests get a QApplication on the offscreen platform
# (tests/support/gui_main.cpp); the others use GoogleTest's own main.
function(albavox_add_test)
  cmake_parse_arguments(T "GUI" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock Threads::Threads)
  if(T_GUI)
    target_link_libraries(${T_NAME} PRIVATE albavox_gui_test_main Qt6::Widgets Qt6::Test)
  else()
    target_link_libraries(${T_NAME} PRIVATE GTest::gtest_main)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    LABELS "${T_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ALBAVOX_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
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
