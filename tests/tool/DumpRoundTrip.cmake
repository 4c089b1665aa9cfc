# cmake -DKELPHYS=tool -DINPUT=file.tarn -DWORK_DIR=dir -P DumpRoundTrip.cmake
# Dumps INPUT, dumps the dump, and requires both dumps to be equal and not empty.
file(MAKE_DIRECTORY ${WORK_DIR})
set(first ${WORK_DIR}/first.tarn)
set(second ${WORK_DIR}/second.tarn)
execute_process(COMMAND ${KELPHYS} dump ${INPUT} OUTPUT_FILE ${first}
    ERROR_VARIABLE error RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "kelphys dump ${INPUT} failed (${result}): ${error}")
endif()
execute_process(COMMAND ${KELPHYS} dump ${first} OUTPUT_FILE ${second}
    ERROR_VARIABLE error RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "kelphys dump of its own output failed (${result}): ${error}")
endif()
file(READ ${first} a)
file(READ ${second} b)
if(a STREQUAL "")
    message(FATAL_ERROR "kelphys dump ${INPUT} printed nothing")
endif()
if(NOT a STREQUAL b)
    message(FATAL_ERROR "dump is not stable: compare ${first} and ${second}")
endif()
