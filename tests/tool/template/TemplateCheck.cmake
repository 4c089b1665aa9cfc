# cmake -DKELPHYS=tool "-DARGS=arg;..." -DEXPECT=N [-DOUTPUT_FILE=f] [-DERROR_FILE=f]
#       [-DERROR_TEXT=text] [-DERROR_MATCH=regex] [-DWORK_DIR=dir] -P TemplateCheck.cmake
# Runs "kelphys template ARGS" and requires exit status N. OUTPUT_FILE: standard output must
# equal that file's text. ERROR_FILE / ERROR_TEXT: standard error must equal it, and standard
# output be empty. ERROR_MATCH: standard error must match. WORK_DIR: the run is repeated
# with "-o WORK_DIR/template.tarn"; that must print nothing, write exactly the text printed
# before, and the written file must read back ("kelphys dump").
execute_process(COMMAND ${KELPHYS} template ${ARGS}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE result)
if(NOT result EQUAL EXPECT)
    message(FATAL_ERROR "expected exit status ${EXPECT}, got ${result}\n${err}")
endif()
if(DEFINED OUTPUT_FILE)
    file(READ ${OUTPUT_FILE} expected)
    if(NOT out STREQUAL expected)
        message(FATAL_ERROR "standard output differs.\nexpected: [${expected}]\ngot:      [${out}]")
    endif()
endif()
if(DEFINED ERROR_FILE)
    file(READ ${ERROR_FILE} ERROR_TEXT)
endif()
if(DEFINED ERROR_TEXT)
    if(NOT err STREQUAL ERROR_TEXT)
        message(FATAL_ERROR "standard error differs.\nexpected: [${ERROR_TEXT}]\ngot:      [${err}]")
    endif()
    if(NOT out STREQUAL "")
        message(FATAL_ERROR "unexpected standard output: ${out}")
    endif()
endif()
if(DEFINED ERROR_MATCH AND NOT err MATCHES "${ERROR_MATCH}")
    message(FATAL_ERROR "standard error does not match '${ERROR_MATCH}':\n${err}")
endif()
if(DEFINED WORK_DIR)
    file(REMOVE_RECURSE ${WORK_DIR})
    file(MAKE_DIRECTORY ${WORK_DIR})
    set(written ${WORK_DIR}/template.tarn)
    file(WRITE ${written} "stale content\n")
    execute_process(COMMAND ${KELPHYS} template ${ARGS} -o ${written}
        OUTPUT_VARIABLE fileOut ERROR_VARIABLE fileErr RESULT_VARIABLE fileResult)
    if(NOT fileResult EQUAL 0 OR NOT fileOut STREQUAL "")
        message(FATAL_ERROR "-o: exit status ${fileResult}, output [${fileOut}]\n${fileErr}")
    endif()
    file(READ ${written} content)
    if(NOT content STREQUAL out)
        message(FATAL_ERROR "-o wrote other text than standard output:\n${content}")
    endif()
    execute_process(COMMAND ${KELPHYS} dump ${written}
        OUTPUT_VARIABLE dumpOut ERROR_VARIABLE dumpErr RESULT_VARIABLE dumpResult)
    if(NOT dumpResult EQUAL 0 OR NOT dumpOut MATCHES "DEPENDENCIES")
        message(FATAL_ERROR "the template does not read back: ${dumpErr}")
    endif()
endif()
