# kelphys validate and fill-defaults on the examples, valid JSON whatever the data holds,
# and the conventions every command shares (--version, help, "-", "--").
set(ex_rules ${PROJECT_SOURCE_DIR}/examples/rules.tarn)
set(ex_physics ${PROJECT_SOURCE_DIR}/examples/physics.tarn)
set(ex_model ${PROJECT_SOURCE_DIR}/examples/model.tarn)
set(ex_errors ${PROJECT_SOURCE_DIR}/examples/model-with-errors.tarn)
set(missing_location ${CMAKE_CURRENT_SOURCE_DIR}/query/missing_location.model.tarn)
set(bad_bytes ${CMAKE_CURRENT_SOURCE_DIR}/validate/bad_bytes.model.tarn)

# ---------------------------------------------------------------- validate
add_kelphys_test(kelphys_validate_examples 0 "validate;${ex_rules};${ex_physics};${ex_model}"
    "OUTPUT_MATCH=^$")
# One line per violation, FILE:LINE: CODE: MESSAGE (PATH); a count on standard error.
add_kelphys_test(kelphys_validate_errors 1 "validate;${ex_rules};${ex_physics};${ex_errors}"
    "OUTPUT_MATCH=^[^\n]*model-with-errors.tarn:15: duplicate-singleton: SOLVER CONTROL is a singleton but is present more than once \\(/FLOW:Broken Run/SOLVER CONTROL:second\\)\n.*: unknown-child: DOMAIN cannot hold a child of type \"SENSOR\" \\(/FLOW:Broken Run/DOMAIN:Duct/SENSOR:probe\\)\n.*out-of-bounds: parameter \"Normal Speed\" = \"-2 \\[m s\\^-1\\]\" is below its lower bound 0 \\[m s\\^-1\\]"
    "ERROR_MATCH=^kelphys validate: 10 violations in ")
add_kelphys_test(kelphys_validate_json 1 "validate;${ex_rules};${ex_physics};${ex_errors};--json"
    "JSON_KEYS=valid;violations" "OUTPUT_MATCH=\"valid\": false.*\"code\": \"name-not-allowed\"")
# Control characters and bytes that are not UTF-8 in the data still give valid JSON.
add_kelphys_test(kelphys_validate_json_bad_bytes 1
    "validate;${ex_rules};${ex_physics};${bad_bytes};--json" "JSON_KEYS=valid;violations"
    "OUTPUT_MATCH=Bad\\\\u0001Key[^\"]*\".*Up\\\\u007f\\\\u001b\\[31mwind")
# A model read from standard input.
add_kelphys_test(kelphys_validate_stdin 1 "validate;${ex_rules};${ex_physics};-"
    "INPUT_FILE=${missing_location}" "OUTPUT_MATCH=missing-parameter: essential parameter \"Location\"")

# ---------------------------------------------------------------- fill-defaults
# The filled model reads back, gained the default, and then only lacks what has none.
add_kelphys_test(kelphys_fill_defaults 0
    "fill-defaults;${ex_rules};${ex_physics};${missing_location}"
    "WORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/fill-defaults" "WRITE_OPTION=-o"
    "READ_BACK_MATCH=BOUNDARY: inlet\n[^E]*Normal Speed = 1 \\[m s\\^-1\\]")
add_kelphys_test(kelphys_fill_defaults_validates 1
    "validate;${ex_rules};${ex_physics};${CMAKE_CURRENT_BINARY_DIR}/fill-defaults/written.tarn"
    "OUTPUT_MATCH=^[^\n]*: missing-parameter: essential parameter \"Location\" is not set[^\n]*\n$")
set_tests_properties(kelphys_fill_defaults_validates PROPERTIES DEPENDS kelphys_fill_defaults)

# ---------------------------------------------------------------- conventions
add_test(NAME kelphys_version COMMAND kelphys --version)
set_tests_properties(kelphys_version PROPERTIES PASS_REGULAR_EXPRESSION "^kelphys [0-9]+\\.[0-9]+\\.[0-9]+\n$")
foreach(command dump rules check query template validate fill-defaults)
    add_test(NAME kelphys_help_${command} COMMAND kelphys help ${command})
    set_tests_properties(kelphys_help_${command} PROPERTIES
        PASS_REGULAR_EXPRESSION "^usage: kelphys ${command} ")
endforeach()
add_kelphys_test(kelphys_help_unknown 2 "help;bogus" "ERROR_MATCH=unknown command 'bogus'")
# After "--" an argument beginning with "-" is a file, not an option.
add_kelphys_test(kelphys_end_of_options 1 "dump;--;-no-such-file.tarn" "ERROR_MATCH=no-such-file")
add_kelphys_test(kelphys_stdin_once 2 "dump;-;-" "ERROR_MATCH=only once")
add_kelphys_test(kelphys_dump_stdin 0 "dump;-" "INPUT_FILE=${ex_model}"
    "OUTPUT_MATCH=^LIBRARY:\n  MATERIAL: Air\n")
