# kelphys rules: the example schema prints in both forms; every kind of RULES error prints
# the library's message unchanged and exits 1; usage errors exit 2.
set(rules_check ${CMAKE_CURRENT_SOURCE_DIR}/RulesCheck.cmake)
set(example_rules ${PROJECT_SOURCE_DIR}/examples/rules.tarn)

add_test(NAME kelphys_rules_schema_text
    COMMAND ${CMAKE_COMMAND} -DKELPHYS=$<TARGET_FILE:kelphys> "-DARGS=${example_rules}"
            -DEXPECT=0 "-DOUTPUT_MATCH=Object types:.*BOUNDARY \\(named\\).*Parameters:"
            -P ${rules_check})
add_test(NAME kelphys_rules_schema_json
    COMMAND ${CMAKE_COMMAND} -DKELPHYS=$<TARGET_FILE:kelphys> "-DARGS=${example_rules};--json"
            -DEXPECT=0 "-DJSON_KEYS=types;parameters" -P ${rules_check})
add_test(NAME kelphys_rules_type_text
    COMMAND ${CMAKE_COMMAND} -DKELPHYS=$<TARGET_FILE:kelphys> "-DARGS=${example_rules};BOUNDARY"
            -DEXPECT=0 "-DOUTPUT_MATCH=parent paths with names: /FLOW:name/DOMAIN:name"
            -P ${rules_check})
add_test(NAME kelphys_rules_type_json
    COMMAND ${CMAKE_COMMAND} -DKELPHYS=$<TARGET_FILE:kelphys>
            "-DARGS=${example_rules};DOMAIN;--json" -DEXPECT=0
            "-DJSON_KEYS=type;singleton;contextRule;options;validParents;parentPaths;parentPathsWithNames;lists;all;parameters"
            -P ${rules_check})
# A parameter listed at object level and again by an option is one member of that option.
add_test(NAME kelphys_rules_type_json_repeated_param
    COMMAND ${CMAKE_COMMAND} -DKELPHYS=$<TARGET_FILE:kelphys>
            "-DARGS=${CMAKE_CURRENT_SOURCE_DIR}/rules/repeated_param.tarn;T;--json" -DEXPECT=0
            "-DOUTPUT_MATCH=\"parameters\": {[^}]*\"a\": {[^}]*\"p\": {"
            "-DOUTPUT_NOT_MATCH=\"p\": {[^}]*}[^}]*\"p\": {" -P ${rules_check})

foreach(name no_options unlisted_context missing_type context_type missing_unit invalid_local
             context_child unknown_parent unknown_child)
    add_test(NAME kelphys_rules_error_${name}
        COMMAND ${CMAKE_COMMAND} -DKELPHYS=$<TARGET_FILE:kelphys>
                "-DARGS=${CMAKE_CURRENT_SOURCE_DIR}/rules/${name}.tarn" -DEXPECT=1
                -DERROR_FILE=${CMAKE_CURRENT_SOURCE_DIR}/rules/${name}.expected -P ${rules_check})
endforeach()
add_test(NAME kelphys_rules_error_unknown_type
    COMMAND ${CMAKE_COMMAND} -DKELPHYS=$<TARGET_FILE:kelphys> "-DARGS=${example_rules};NOPE"
            -DEXPECT=1 -DERROR_FILE=${CMAKE_CURRENT_SOURCE_DIR}/rules/unknown_type.expected
            -P ${rules_check})

add_test(NAME kelphys_rules_no_file
    COMMAND ${CMAKE_COMMAND} -DEXPECT=2 "-DCOMMAND=$<TARGET_FILE:kelphys>;rules"
            -P ${CMAKE_CURRENT_SOURCE_DIR}/ExitCode.cmake)
add_test(NAME kelphys_rules_bad_option
    COMMAND ${CMAKE_COMMAND} -DEXPECT=2
            "-DCOMMAND=$<TARGET_FILE:kelphys>;rules;--bogus;${example_rules}"
            -P ${CMAKE_CURRENT_SOURCE_DIR}/ExitCode.cmake)
add_test(NAME kelphys_rules_help COMMAND kelphys rules --help)
set_tests_properties(kelphys_rules_help PROPERTIES PASS_REGULAR_EXPRESSION "usage: kelphys rules")
