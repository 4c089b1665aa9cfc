# kelphys rules: the example schema prints in both forms; every kind of RULES error prints
# the library's message unchanged and exits 1; usage errors exit 2.
set(example_rules ${PROJECT_SOURCE_DIR}/examples/rules.tarn)
set(rules_dir ${CMAKE_CURRENT_SOURCE_DIR}/rules)

add_kelphys_test(kelphys_rules_schema_text 0 "rules;${example_rules}"
    "OUTPUT_MATCH=Object types:.*BOUNDARY \\(named\\).*Parameters:")
add_kelphys_test(kelphys_rules_schema_json 0 "rules;${example_rules};--json"
    "JSON_KEYS=types;parameters")
add_kelphys_test(kelphys_rules_type_text 0 "rules;${example_rules};BOUNDARY"
    "OUTPUT_MATCH=parent paths with names: /FLOW:name/DOMAIN:name")
add_kelphys_test(kelphys_rules_type_json 0 "rules;${example_rules};DOMAIN;--json"
    "JSON_KEYS=type;singleton;contextRule;options;validParents;parentPaths;parentPathsWithNames;lists;all;parameters")
# A parameter listed at object level and again by an option is one member of that option.
add_kelphys_test(kelphys_rules_type_json_repeated_param 0
    "rules;${rules_dir}/repeated_param.tarn;T;--json"
    "OUTPUT_MATCH=\"parameters\": {[^}]*\"a\": {[^}]*\"p\": {"
    "OUTPUT_NOT_MATCH=\"p\": {[^}]*}[^}]*\"p\": {")

foreach(name no_options unlisted_context missing_type context_type missing_unit invalid_local
             context_child unknown_parent unknown_child)
    add_kelphys_test(kelphys_rules_error_${name} 1 "rules;${rules_dir}/${name}.tarn"
        "ERROR_FILE=${rules_dir}/${name}.expected")
endforeach()
add_kelphys_test(kelphys_rules_error_unknown_type 1 "rules;${example_rules};NOPE"
    "ERROR_FILE=${rules_dir}/unknown_type.expected")

add_kelphys_test(kelphys_rules_no_file 2 "rules")
add_kelphys_test(kelphys_rules_bad_option 2 "rules;--bogus;${example_rules}")
add_test(NAME kelphys_rules_help COMMAND kelphys rules --help)
set_tests_properties(kelphys_rules_help PROPERTIES PASS_REGULAR_EXPRESSION "usage: kelphys rules")
