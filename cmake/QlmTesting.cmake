# qlm_add_test(NAME SOURCES file... [LIBS lib...])
# A QtTest executable registered with CTest, run on the offscreen platform with a timeout.
# Tests find the built program folder and the source tree through the environment.
function(qlm_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE qlmtestsupport ${T_LIBS})
  set_target_properties(${name} PROPERTIES AUTOMOC ON
                                           RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QLM_PROGRAM_DIR=${QLM_PROGRAM_DIR};QLM_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()
