# add_output_test(NAME name EXIT_STATUS n OUTPUT pattern COMMAND command args...): a test that
# passes only when the command ends with exit status n AND its output (standard output and error
# together) matches the extended regular expression (in which '.' also matches line ends). In the
# Windows presets the command is a Windows program, run and judged by run-tests.exe under the
# lane's Wine and in the Windows test kit alike; its arguments are add_kit_test's (a FILE: or
# WORK: argument names a file). Elsewhere tests/expect_output.sh runs the host's program.
function(add_output_test)
  cmake_parse_arguments(arg "" "NAME;EXIT_STATUS;OUTPUT" "COMMAND" ${ARGN})
  if(NOT arg_NAME OR NOT arg_EXIT_STATUS MATCHES "^[0-9]+$" OR "${arg_OUTPUT}" STREQUAL "" OR NOT arg_COMMAND)
    message(FATAL_ERROR "add_output_test needs NAME, EXIT_STATUS (a number), OUTPUT and COMMAND: ${ARGN}")
  endif()
  if(WIN32)
    add_kit_test(NAME ${arg_NAME} RUN expect-output ARGUMENTS ${arg_EXIT_STATUS} ${arg_OUTPUT} ${arg_COMMAND})
    return()
  endif()
  set(command)
  foreach(argument IN LISTS arg_COMMAND)
    if(argument MATCHES "^FILE:[^:]+:(.+)$")
      list(APPEND command ${CMAKE_MATCH_1})
    elseif(argument MATCHES "^WORK:(.+)$")
      list(APPEND command ${CMAKE_CURRENT_BINARY_DIR}/${CMAKE_MATCH_1})
    else()
      list(APPEND command ${argument})
    endif()
  endforeach()
  add_test(NAME ${arg_NAME}
    COMMAND ${PROJECT_SOURCE_DIR}/tests/expect_output.sh ${arg_EXIT_STATUS} ${arg_OUTPUT} ${command})
endfunction()
