# add_output_test(NAME name EXIT_STATUS n OUTPUT pattern COMMAND command args...): a test that
# passes only when the command ends with exit status n AND its output matches the extended regular
# expression (in which '.' also matches line ends). A Windows program runs under the lane's Wine.
function(add_output_test)
  cmake_parse_arguments(arg "" "NAME;EXIT_STATUS;OUTPUT" "COMMAND" ${ARGN})
  if(NOT arg_NAME OR NOT arg_EXIT_STATUS MATCHES "^[0-9]+$" OR "${arg_OUTPUT}" STREQUAL "" OR NOT arg_COMMAND)
    message(FATAL_ERROR "add_output_test needs NAME, EXIT_STATUS (a number), OUTPUT and COMMAND: ${ARGN}")
  endif()
  add_test(NAME ${arg_NAME}
    COMMAND ${PROJECT_SOURCE_DIR}/tests/expect_output.sh ${arg_EXIT_STATUS} ${arg_OUTPUT} ${arg_COMMAND})
endfunction()
