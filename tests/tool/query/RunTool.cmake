# cmake -DKELPHYS=tool "-DARGS=command;arg;..." -DEXPECT=N [-DERROR_FILE=f] [-DERROR_MATCH=regex]
#       [-DOUTPUT_FILE=f] [-DOUTPUT_MATCH=regex] -P RunTool.cmake
# Runs "kelphys ARGS" and requires exit status N. ERROR_FILE: standard error must equal the
# file's text and standard output must be empty. ERROR_MATCH: standard error must match.
# OUTPUT_FILE: standard output must equal the file's text. OUTPUT_MATCH: it must match.
execute_process(COMMAND ${KELPHYS} ${ARGS}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE result)
if(NOT result EQUAL EXPECT)
    message(FATAL_ERROR "expected exit status ${EXPECT}, got ${result}\n${err}")
endif()
if(DEFINED ERROR_FILE)
    file(READ ${ERROR_FILE} expected)
    if(NOT err STREQUAL expected)
        message(FATAL_ERROR "standard error differs.\nexpected: [${expected}]\ngot:      [${err}]")
    endif()
    if(NOT out STREQUAL "")
        message(FATAL_ERROR "unexpected standard output: ${out}")
    endif()
endif()
if(DEFINED ERROR_MATCH AND NOT err MATCHES "${ERROR_MATCH}")
    message(FATAL_ERROR "standard error does not match '${ERROR_MATCH}':\n${err}")
endif()
if(DEFINED OUTPUT_FILE)
    file(READ ${OUTPUT_FILE} expected)
    if(NOT out STREQUAL expected)
        message(FATAL_ERROR "standard output differs from ${OUTPUT_FILE}:\n${out}")
    endif()
endif()
if(DEFINED OUTPUT_MATCH AND NOT out MATCHES "${OUTPUT_MATCH}")
    message(FATAL_ERROR "standard output does not match '${OUTPUT_MATCH}':\n${out}")
endif()
