# Helpers shared by every component's CMakeLists.

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/OrbilonWin32.cmake)
elseif(NOT ORBILON_FUZZ)
  find_package(GTest REQUIRED)
endif()

# orbilon_unit_test(NAME SOURCES ... LIBS ...): a GoogleTest program run by ctest (label "unit").
# Built in every configuration but the fuzzing one, sanitizers included.
function(orbilon_unit_test name)
  if(ORBILON_FUZZ)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS unit TIMEOUT 300)
  if(T_ENV)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${T_ENV}")
  endif()
endfunction()

# orbilon_display_test(NAME COMMAND ...): a test that needs an X server; it gets a private
# Xvfb of its own (tests/with-xvfb.sh). Only in the full build (label "integration").
function(orbilon_display_test name)
  if(NOT ORBILON_LINUX_PROGRAMS)
    return()
  endif()
  cmake_parse_arguments(T "" "SIZE" "COMMAND;ENV" ${ARGN})
  if(NOT T_SIZE)
    set(T_SIZE 1280x1024x24)
  endif()
  add_test(NAME ${name}
           COMMAND ${CMAKE_SOURCE_DIR}/tests/with-xvfb.sh ${T_SIZE} ${T_COMMAND})
  set_tests_properties(${name} PROPERTIES LABELS integration TIMEOUT 300
                       ENVIRONMENT "ORBILON_BUILD=${CMAKE_BINARY_DIR};${T_ENV}")
endfunction()

# orbilon_fuzzer(NAME SOURCES ... LIBS ... [SEEDS DIR]): a libFuzzer target, run for a few
# seconds by ctest (label "fuzz"), starting from the inputs in DIR (earlier findings) as well as
# its own corpus. Only in the fuzzing configuration.
function(orbilon_fuzzer name)
  if(NOT ORBILON_FUZZ)
    return()
  endif()
  cmake_parse_arguments(T "" "SEEDS" "SOURCES;LIBS" ${ARGN})
  add_executable(fuzz-${name} ${T_SOURCES})
  target_link_libraries(fuzz-${name} PRIVATE ${T_LIBS})
  target_compile_options(fuzz-${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(fuzz-${name} PRIVATE -fsanitize=fuzzer)
  set(corpus ${CMAKE_BINARY_DIR}/corpus/${name})
  file(MAKE_DIRECTORY ${corpus})
  add_test(NAME fuzz-${name}
           COMMAND fuzz-${name} -max_total_time=${ORBILON_FUZZ_SECONDS} -rss_limit_mb=2048
                   -timeout=10 ${corpus} ${T_SEEDS})
  set_tests_properties(fuzz-${name} PROPERTIES LABELS fuzz TIMEOUT 120)
endfunction()
