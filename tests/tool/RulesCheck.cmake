# cmake -DKELPHYS=tool "-DARGS=arg;..." -DEXPECT=N [-DERROR_FILE=f] [-DOUTPUT_MATCH=regex]
#       [-DJSON_KEYS=k1;k2;...] -P RulesCheck.cmake
# Runs "kelphys rules ARGS" and requires exit status N; with ERROR_FILE, standard error must
# equal that file's text and standard output must be empty; with OUTPUT_MATCH, standard
# output must match; with JSON_KEYS, standard output must be a JSON object whose members are
# exactly those keys, in that order.
execute_process(COMMAND ${KELPHYS} rules ${ARGS}
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
if(DEFINED OUTPUT_MATCH AND NOT out MATCHES "${OUTPUT_MATCH}")
    message(FATAL_ERROR "standard output does not match '${OUTPUT_MATCH}':\n${out}")
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
