# cmake -DKELPHYS=tool -DINPUT=bad.tarn -P DumpError.cmake
# Requires exit status 1, nothing on standard output and exactly one line
# "INPUT:LINE: message" on standard error.
execute_process(COMMAND ${KELPHYS} dump ${INPUT}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE result)
if(NOT result EQUAL 1)
    message(FATAL_ERROR "expected exit status 1, got ${result}")
endif()
if(NOT out STREQUAL "")
    message(FATAL_ERROR "unexpected standard output: ${out}")
endif()
string(LENGTH "${INPUT}" length)
string(SUBSTRING "${err}" 0 ${length} prefix)
string(SUBSTRING "${err}" ${length} -1 rest)
if(NOT prefix STREQUAL INPUT OR NOT rest MATCHES "^:[0-9]+: [^\n]+\n$")
    message(FATAL_ERROR "expected one line \"${INPUT}:LINE: ...\", got: ${err}")
endif()
