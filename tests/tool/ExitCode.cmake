# cmake -DEXPECT=N -DCOMMAND="tool;arg;..." -P ExitCode.cmake
# Requires the command to exit with status N and to print something on standard error.
execute_process(COMMAND ${COMMAND} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE result)
if(NOT result EQUAL EXPECT)
    message(FATAL_ERROR "expected exit status ${EXPECT}, got ${result}")
endif()
if(err STREQUAL "")
    message(FATAL_ERROR "nothing on standard error")
endif()
