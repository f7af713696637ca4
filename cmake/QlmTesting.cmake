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

# qlm_add_acceptance_test(NAME SCRIPT)
# A Python script that drives the real quillmere under its own X display and reads its screens
# through the accessibility tree. It runs alone (it owns the keyboard of its display), on the
# xcb platform rather than offscreen, and exits with 77 when it cannot apply yet.
# Debian's own interpreter, which has the accessibility bindings (python3-pyatspi).
find_program(QLM_ACCEPTANCE_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT QLM_ACCEPTANCE_PYTHON)
  find_program(QLM_ACCEPTANCE_PYTHON NAMES python3 REQUIRED)
endif()
function(qlm_add_acceptance_test name script)
  add_test(NAME ${name}
           COMMAND ${QLM_ACCEPTANCE_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/${script}
           WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES
    LABELS acceptance
    RUN_SERIAL TRUE
    TIMEOUT 120
    SKIP_RETURN_CODE 77
    ENVIRONMENT "QLM_PROGRAM_DIR=${QLM_PROGRAM_DIR};QLM_SOURCE_DIR=${CMAKE_SOURCE_DIR};QLM_SHOT_DIR=${CMAKE_BINARY_DIR}/tests/acceptance-shots")
endfunction()
