# kelphys template: the exact template of a small schema, the example schema's template
# written to a file and read back, its loadable form accepted by "kelphys check", RULES
# errors (exit 1, the library's message unchanged), an unwritable output file, and usage
# errors (exit 2).
set(template_dir ${CMAKE_CURRENT_SOURCE_DIR}/template)
set(small ${template_dir}/small.tarn)

# Each template is also written with -o, which must give the same text, and read back.
add_kelphys_test(kelphys_template_small 0 "template;${small}"
    "OUTPUT_FILE=${template_dir}/small.expected"
    "WORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/template-small" "WRITE_OPTION=-o"
    "READ_BACK_MATCH=DEPENDENCIES")
add_kelphys_test(kelphys_template_example 0 "template;${PROJECT_SOURCE_DIR}/examples/rules.tarn"
    "WORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/template-example" "WRITE_OPTION=-o"
    "READ_BACK_MATCH=DEPENDENCIES")

# The loadable form of the example schema's template passes "kelphys check" as it stands.
set(loadable ${CMAKE_CURRENT_BINARY_DIR}/template-loadable.tarn)
add_kelphys_test(kelphys_template_loadable_write 0
    "template;${PROJECT_SOURCE_DIR}/examples/rules.tarn;--loadable;-o;${loadable}")
add_kelphys_test(kelphys_template_loadable_check 0
    "check;${PROJECT_SOURCE_DIR}/examples/rules.tarn;${loadable}"
    "OUTPUT_MATCH=^PHYSICS data is valid: 0 checks, 0 lists, 0 global checks, 12 object definitions")
set_tests_properties(kelphys_template_loadable_write PROPERTIES FIXTURES_SETUP template_loadable)
set_tests_properties(kelphys_template_loadable_check PROPERTIES FIXTURES_REQUIRED template_loadable)

add_kelphys_test(kelphys_template_error_rules 1
    "template;${CMAKE_CURRENT_SOURCE_DIR}/rules/unknown_child.tarn"
    "ERROR_FILE=${CMAKE_CURRENT_SOURCE_DIR}/rules/unknown_child.expected")
add_kelphys_test(kelphys_template_error_syntax 1
    "template;${KEL_TEST_DATA_DIR}/bad_unterminated.tarn"
    "ERROR_AT=${KEL_TEST_DATA_DIR}/bad_unterminated.tarn")
add_kelphys_test(kelphys_template_missing_file 1 "template;${template_dir}/no_such_file.tarn")
set(unwritable ${CMAKE_CURRENT_BINARY_DIR}/template-no-such-dir/out.tarn)
add_kelphys_test(kelphys_template_unwritable 1 "template;${small};-o;${unwritable}"
    "ERROR_TEXT=Failed to open ${unwritable} for writing.\n")

# Usage errors: no RULES file, -o without a file name, an unknown option, two RULES files.
add_kelphys_test(kelphys_template_usage_no_file 2 "template")
add_kelphys_test(kelphys_template_usage_no_output_name 2 "template;${small};-o")
add_kelphys_test(kelphys_template_usage_bad_option 2 "template;--bogus;${small}")
add_kelphys_test(kelphys_template_usage_two_files 2 "template;${small};${small}")
add_test(NAME kelphys_template_help COMMAND kelphys template --help)
set_tests_properties(kelphys_template_help PROPERTIES
    PASS_REGULAR_EXPRESSION "usage: kelphys template RULES \\[-o FILE\\]")
