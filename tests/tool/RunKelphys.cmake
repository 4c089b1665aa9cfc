# cmake -DKELPHYS=tool "-DARGS=command;arg;..." -DEXPECT=N [checks...] -P RunKelphys.cmake
#
# Runs "kelphys ARGS" and requires exit status N. A failing run (N not 0) must say why on
# standard error. With INPUT_FILE=f standard input is read from f. Further checks, each
# optional:
#   ERROR_FILE=f / ERROR_TEXT=text  standard error equals the file's text / text, and
#                                   standard output is empty.
#   ERROR_AT=file                   standard error is exactly one line "file:LINE: message",
#                                   and standard output is empty.
#   ERROR_MATCH=regex               standard error matches.
#   OUTPUT_FILE=f                   standard output equals the file's text.
#   OUTPUT_MATCH=regex              standard output matches (OUTPUT_NOT_MATCH: does not).
#   JSON_KEYS=k1;k2;...             standard output is a JSON object whose members are
#                                   exactly those keys, in that order.
#   WORK_DIR=dir                    standard output is read back with "kelphys dump", which
#                                   must succeed and print something. With
#     WRITE_OPTION=opt              the run is first repeated with "opt dir/written.tarn":
#                                   it must succeed, print nothing and write exactly the text
#                                   printed before; that file is the one read back.
#     READ_BACK_MATCH=regex         the read-back output matches.
#     READ_BACK_SAME=ON             the read-back output equals the output read back.

set(input)
if(DEFINED INPUT_FILE)
    set(input INPUT_FILE ${INPUT_FILE})
endif()
execute_process(COMMAND ${KELPHYS} ${ARGS} ${input}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE result)
if(NOT result EQUAL EXPECT)
    message(FATAL_ERROR "expected exit status ${EXPECT}, got ${result}\n${err}")
endif()
if(NOT EXPECT EQUAL 0 AND err STREQUAL "")
    message(FATAL_ERROR "exit status ${result} but nothing on standard error")
endif()

function(require_empty_output)
    if(NOT out STREQUAL "")
        message(FATAL_ERROR "unexpected standard output: ${out}")
    endif()
endfunction()

if(DEFINED ERROR_FILE)
    file(READ ${ERROR_FILE} ERROR_TEXT)
endif()
if(DEFINED ERROR_TEXT)
    if(NOT err STREQUAL ERROR_TEXT)
        message(FATAL_ERROR "standard error differs.\nexpected: [${ERROR_TEXT}]\ngot:      [${err}]")
    endif()
    require_empty_output()
endif()
if(DEFINED ERROR_AT)
    # Compared as text: the file name may hold regular expression characters.
    string(LENGTH "${ERROR_AT}" length)
    string(SUBSTRING "${err}" 0 ${length} prefix)
    string(SUBSTRING "${err}" ${length} -1 rest)
    if(NOT prefix STREQUAL ERROR_AT OR NOT rest MATCHES "^:[0-9]+: [^\n]+\n$")
        message(FATAL_ERROR "expected one line \"${ERROR_AT}:LINE: ...\", got: ${err}")
    endif()
    require_empty_output()
endif()
if(DEFINED ERROR_MATCH AND NOT err MATCHES "${ERROR_MATCH}")
    message(FATAL_ERROR "standard error does not match '${ERROR_MATCH}':\n${err}")
endif()

if(DEFINED OUTPUT_FILE)
    file(READ ${OUTPUT_FILE} expected)
    if(NOT out STREQUAL expected)
        message(FATAL_ERROR "standard output differs from ${OUTPUT_FILE}.\nexpected: [${expected}]\ngot:      [${out}]")
    endif()
endif()
if(DEFINED OUTPUT_MATCH AND NOT out MATCHES "${OUTPUT_MATCH}")
    message(FATAL_ERROR "standard output does not match '${OUTPUT_MATCH}':\n${out}")
endif()
if(DEFINED OUTPUT_NOT_MATCH AND out MATCHES "${OUTPUT_NOT_MATCH}")
    message(FATAL_ERROR "standard output matches '${OUTPUT_NOT_MATCH}':\n${out}")
endif()

if(DEFINED JSON_KEYS)
    string(JSON count ERROR_VARIABLE jsonError LENGTH "${out}")
    if(jsonError)
        message(FATAL_ERROR "not JSON: ${jsonError}\n${out}")
    endif()
    # The JSON parser reports members sorted, so read their order from the (two-blank)
    # indentation of the top level instead.
    string(REGEX MATCHALL "\n  \"[^\"]*\":" members "${out}")
    set(keys)
    foreach(member IN LISTS members)
        string(REGEX REPLACE "^\n  \"([^\"]*)\":$" "\\1" key "${member}")
        list(APPEND keys "${key}")
    endforeach()
    list(LENGTH keys found)
    if(NOT found EQUAL count)
        message(FATAL_ERROR "found ${found} top-level members, the parser ${count}")
    endif()
    if(NOT keys STREQUAL JSON_KEYS)
        message(FATAL_ERROR "JSON keys [${keys}], expected [${JSON_KEYS}]")
    endif()
endif()

if(DEFINED WORK_DIR)
    file(REMOVE_RECURSE ${WORK_DIR})
    file(MAKE_DIRECTORY ${WORK_DIR})
    set(written ${WORK_DIR}/written.tarn)
    if(DEFINED WRITE_OPTION)
        # Stale content shows whether the option truncates the file.
        file(WRITE ${written} "stale content\n")
        execute_process(COMMAND ${KELPHYS} ${ARGS} ${WRITE_OPTION} ${written}
            OUTPUT_VARIABLE fileOut ERROR_VARIABLE fileErr RESULT_VARIABLE fileResult)
        if(NOT fileResult EQUAL 0 OR NOT fileOut STREQUAL "")
            message(FATAL_ERROR "${WRITE_OPTION}: exit status ${fileResult}, output [${fileOut}]\n${fileErr}")
        endif()
        file(READ ${written} content)
        if(NOT content STREQUAL out)
            message(FATAL_ERROR "${WRITE_OPTION} wrote other text than standard output:\n${content}")
        endif()
    else()
        file(WRITE ${written} "${out}")
    endif()
    execute_process(COMMAND ${KELPHYS} dump ${written}
        OUTPUT_VARIABLE readBack ERROR_VARIABLE readBackErr RESULT_VARIABLE readBackResult)
    if(NOT readBackResult EQUAL 0 OR readBack STREQUAL "")
        message(FATAL_ERROR "the output does not read back (${readBackResult}): ${readBackErr}")
    endif()
    if(DEFINED READ_BACK_MATCH AND NOT readBack MATCHES "${READ_BACK_MATCH}")
        message(FATAL_ERROR "the read-back output does not match '${READ_BACK_MATCH}':\n${readBack}")
    endif()
    if(READ_BACK_SAME AND NOT readBack STREQUAL out)
        message(FATAL_ERROR "reading the output back changes it: compare ${written} with:\n${readBack}")
    endif()
endif()
