# kelphys template: the exact template of a small schema, the example schema's template
# written to a file and read back, RULES errors (exit 1, the library's message unchanged),
# an unwritable output file, and usage errors (exit 2).
set(template_check ${CMAKE_CURRENT_SOURCE_DIR}/template/TemplateCheck.cmake)
set(template_dir ${CMAKE_CURRENT_SOURCE_DIR}/template)

add_test(NAME kelphys_template_small
    COMMAND ${CMAKE_COMMAND} -DKELPHYS=$<TARGET_FILE:kelphys> "-DARGS=${template_dir}/small.tarn"
            -DEXPECT=0 -DOUTPUT_FILE=${template_dir}/small.expected
            -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/template-small -P ${template_check})
add_test(NAME kelphys_template_example
    COMMAND ${CMAKE_COMMAND} -DKELPHYS=$<TARGET_FILE:kelphys>
            "-DARGS=${PROJECT_SOURCE_DIR}/examples/rules.tarn" -DEXPECT=0
            -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/template-example -P ${template_check})

add_test(NAME kelphys_template_error_rules
    COMMAND ${CMAKE_COMMAND} -DKELPHYS=$<TARGET_FILE:kelphys>
            "-DARGS=${CMAKE_CURRENT_SOURCE_DIR}/rules/unknown_child.tarn" -DEXPECT=1
            -DERROR_FILE=${CMAKE_CURRENT_SOURCE_DIR}/rules/unknown_child.expected
            -P ${template_check})
add_test(NAME kelphys_template_error_syntax
    COMMAND ${CMAKE_COMMAND} -DKELPHYS=$<TARGET_FILE:kelphys>
            "-DARGS=${KEL_TEST_DATA_DIR}/bad_unterminated.tarn" -DEXPECT=1
            "-DERROR_MATCH=^[^\n]*bad_unterminated.tarn:[0-9]+: [^\n]+\n$" -P ${template_check})
add_test(NAME kelphys_template_missing_file
    COMMAND ${CMAKE_COMMAND} -DEXPECT=1
            "-DCOMMAND=$<TARGET_FILE:kelphys>;template;${template_dir}/no_such_file.tarn"
            -P ${CMAKE_CURRENT_SOURCE_DIR}/ExitCode.cmake)
set(unwritable ${CMAKE_CURRENT_BINARY_DIR}/template-no-such-dir/out.tarn)
add_test(NAME kelphys_template_unwritable
    COMMAND ${CMAKE_COMMAND} -DKELPHYS=$<TARGET_FILE:kelphys>
            "-DARGS=${template_dir}/small.tarn;-o;${unwritable}" -DEXPECT=1
            "-DERROR_TEXT=Failed to open ${unwritable} for writing.\n" -P ${template_check})

# Usage errors: no RULES file, -o without a file name, an unknown option, two RULES files.
set(small ${template_dir}/small.tarn)
set(usage_no_file "")
set(usage_no_output_name "${small};-o")
set(usage_bad_option "--bogus;${small}")
set(usage_two_files "${small};${small}")
foreach(name no_file no_output_name bad_option two_files)
    add_test(NAME kelphys_template_usage_${name}
        COMMAND ${CMAKE_COMMAND} -DEXPECT=2
                "-DCOMMAND=$<TARGET_FILE:kelphys>;template;${usage_${name}}"
                -P ${CMAKE_CURRENT_SOURCE_DIR}/ExitCode.cmake)
endforeach()
add_test(NAME kelphys_template_help COMMAND kelphys template --help)
set_tests_properties(kelphys_template_help PROPERTIES
    PASS_REGULAR_EXPRESSION "usage: kelphys template RULES \\[-o FILE\\]")
