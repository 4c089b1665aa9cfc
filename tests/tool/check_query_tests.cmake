# kelphys check and kelphys query on the examples: the example set validates; broken
# PHYSICS data gets every problem located in its file and exits 1; query answers match the
# reviewed golden files in query/; usage errors exit 2.
set(query_dir ${CMAKE_CURRENT_SOURCE_DIR}/query)
set(ex_rules ${PROJECT_SOURCE_DIR}/examples/rules.tarn)
set(ex_physics ${PROJECT_SOURCE_DIR}/examples/physics.tarn)
set(ex_model ${PROJECT_SOURCE_DIR}/examples/model.tarn)
set(flow "/FLOW:Flow Analysis 1")

# ---------------------------------------------------------------- check
set(check_dir ${CMAKE_CURRENT_SOURCE_DIR}/check)
add_kelphys_test(kelphys_check_examples 0 "check;${ex_rules};${ex_physics}"
    "OUTPUT_MATCH=^PHYSICS data is valid: 7 checks, 3 lists, 2 global checks, 12 object definitions, [0-9]+ parameter definitions\n$")
add_kelphys_test(kelphys_check_unused_report 0 "check;${ex_rules};${ex_physics};--unused"
    "OUTPUT_MATCH=UNUSED PHYSICS: BOUNDARY parent ctxt \\(/FLOW/DOMAIN\\)\nUNUSED PHYSICS:     Unused parameters : Wall Slip\nUNUSED PHYSICS:     Unused allowed options : Opening\n.*Param Monitor Variable -- Unused allowed values : Temperature\n.*PHYSICS data is valid")
# Broken PHYSICS data: each problem as FILE:LINE:COLUMN: error: MESSAGE [CODE], with the
# library's message unchanged, then the summary; exit 1.
set(check_error_cases
    "unknown_list|8|PhysicsData::initialiseChecks - the following unrecognised objects are referenced in at least one existing CHECK or LIST: LIST:TransientTypes|unknown-reference"
    "insufficient_context|16|insufficient context at the evaluation point \\(type DOMAIN, parent context '/FLOW'\\): Availability of parameter Material depends on CHECK IsInlet \\[ Unsatisfied context: BOUNDARY \\]|insufficient-context"
    "foreign_parameter|5|ObjDependDef::makeParamMask - Internal error: the parameter Timestep in object SOLVER CONTROL is not allowed in any RULES CONTEXT!|object-dependency")
foreach(case IN LISTS check_error_cases)
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 name)
    list(GET fields 1 line)
    list(GET fields 2 message)
    list(GET fields 3 code)
    add_kelphys_test(kelphys_check_error_${name} 1 "check;${ex_rules};${query_dir}/${name}.tarn"
        "ERROR_MATCH=^[^\n]*/${name}\\.tarn:${line}:[0-9]+: error: ${message} \\[${code}\\]\nkelphys check: 1 error, 0 warnings\n$")
endforeach()
add_kelphys_test(kelphys_check_syntax_error 1
    "check;${ex_rules};${KEL_TEST_DATA_DIR}/bad_junk_line.tarn"
    "ERROR_MATCH=bad_junk_line\\.tarn:[0-9]+:1: error: [^\n]+ \\[syntax\\]\nkelphys check: 1 error, 0 warnings\n$")
# Several independent problems are reported together, in file order.
set(several ${check_dir}/several_problems.tarn)
add_kelphys_test(kelphys_check_several_problems 1 "check;${ex_rules};${several}"
    "ERROR_MATCH=several_problems\\.tarn:12:[0-9]+: error: Unknown Check type: Parameter Valeu \\[check-data\\]\n[^\n]*:25:[0-9]+: error: [^\n]*Max Iteration in object SOLVER CONTROL[^\n]*\\[object-dependency\\]\n[^\n]*:29:[0-9]+: warning: unknown key 'Paramter Check List' in OBJECT DEPENDENCY TIME CONTROL \\(did you mean 'Parameter Check List'\\?\\) \\[unknown-key\\]\n[^\n]*:32:[0-9]+: warning: [^\n]*'50000' is above the upper bound '10000' \\[bad-value\\]\nkelphys check: 2 errors, 2 warnings\n$")
add_kelphys_test(kelphys_check_several_problems_json 1 "check;${ex_rules};${several};--json"
    "JSON_KEYS=valid;errors;warnings;diagnostics"
    "OUTPUT_MATCH=\"valid\": false,\n  \"errors\": 2,\n  \"warnings\": 2,.*\"severity\": \"error\",\n      \"code\": \"check-data\",\n      \"message\": \"Unknown Check type: Parameter Valeu\",\n      \"file\": \"[^\"]*several_problems.tarn\",\n      \"line\": 12,\n      \"column\": [0-9]+,\n      \"path\": \"/PHYSICS/CHECK DATA/CHECK:IsSteady\"")
# Warnings alone pass, unless --werror; a RULES file given as PHYSICS is one of them.
add_kelphys_test(kelphys_check_wrong_root 0 "check;${ex_rules};${ex_rules}"
    "OUTPUT_MATCH=^PHYSICS data is valid: .* \\(1 warning\\)\n$"
    "ERROR_MATCH=rules\\.tarn:[0-9]+:[0-9]+: warning: expected PHYSICS data but this is RULES data \\(root object RULES\\) \\[wrong-root\\]")
add_kelphys_test(kelphys_check_werror 1 "check;${ex_rules};${ex_rules};--werror"
    "ERROR_MATCH=kelphys check: 0 errors, 1 warning \\(warnings are errors with --werror\\)")
add_kelphys_test(kelphys_check_valid_json 0 "check;${ex_rules};${ex_physics};--json"
    "OUTPUT_MATCH=^{\n  \"valid\": true,\n  \"errors\": 0,\n  \"warnings\": 0,\n  \"diagnostics\": \\[\\]\n}\n$")

# ---------------------------------------------------------------- query
# name, model, object path, extra options
set(query_cases
    "flow|${ex_model}|${flow}|"
    "output_control|${ex_model}|${flow}/OUTPUT CONTROL|"
    "solver_control|${ex_model}|${flow}/SOLVER CONTROL|"
    "steady_solver_control|${query_dir}/missing_location.model.tarn|/FLOW:Steady Run/SOLVER CONTROL|"
    "inlet|${ex_model}|${flow}/DOMAIN:Duct/BOUNDARY:inlet|"
    "porous_fluid_models|${ex_model}|${flow}/DOMAIN:Filter/FLUID MODELS|"
    "porosity|${ex_model}|${flow}/DOMAIN:Filter/POROSITY SETTINGS|"
    "porosity_no_beta|${ex_model}|${flow}/DOMAIN:Filter/POROSITY SETTINGS|--no-beta")
foreach(case IN LISTS query_cases)
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 name)
    list(GET fields 1 model)
    list(GET fields 2 object)
    list(GET fields 3 extra)
    add_kelphys_test(kelphys_query_json_${name} 0
        "query;${ex_rules};${ex_physics};${model};${object};--json;${extra}"
        "OUTPUT_FILE=${query_dir}/${name}.json")
endforeach()

# The text form carries the same answers, plus the global checks over the whole model.
add_kelphys_test(kelphys_query_text_beta 0
    "query;${ex_rules};${ex_physics};${ex_model};${flow}/DOMAIN:Filter/POROSITY SETTINGS"
    "OUTPUT_MATCH=Permeability: available\n      depends on beta features:\n        Permeability of porous domains is a beta feature.\n.*bounds: \\[0 \\[m\\^2\\],.*global checks:\n  BoundaryLocations: passed")
add_kelphys_test(kelphys_query_text_global_check_failure 0
    "query;${ex_rules};${ex_physics};${query_dir}/missing_location.model.tarn;/FLOW:Steady Run/DOMAIN:Pipe"
    "OUTPUT_MATCH=context rule: Domain Type = Fluid\n.*BoundaryLocations: failed\n      A boundary needs a location \\(/FLOW:Steady Run/DOMAIN:Pipe/BOUNDARY:inlet\\)\n  DomainMaterials: passed")

# --explain: why a written value or default does not apply, down to the deciding check.
add_kelphys_test(kelphys_query_text_explain 0
    "query;${ex_rules};${ex_physics};${query_dir}/missing_location.model.tarn;/FLOW:Steady Run/SOLVER CONTROL;--explain"
    "OUTPUT_MATCH=not the default 0.75: Parameter Value check IsTransient wants Analysis Type one of Transient; found Analysis Type = Steady State\n")

# Data errors exit 1: an object the model lacks, a broken PHYSICS file.
add_kelphys_test(kelphys_query_no_such_object 1
    "query;${ex_rules};${ex_physics};${ex_model};${flow}/DOMAIN:Nowhere"
    "ERROR_MATCH=has no object /FLOW:Flow Analysis 1/DOMAIN:Nowhere")
add_kelphys_test(kelphys_query_broken_physics 1
    "query;${ex_rules};${query_dir}/unknown_list.tarn;${ex_model};${flow}"
    "ERROR_FILE=${query_dir}/unknown_list.expected")

# ---------------------------------------------------------------- usage
# Arguments separated by "|".
set(usage_cases
    "check"
    "check|${ex_rules}"
    "check|${ex_rules}|${ex_physics}|--bogus"
    "check|${ex_rules}|${ex_physics}|--json|--unused"
    "query|${ex_rules}|${ex_physics}|${ex_model}"
    "query|${ex_rules}|${ex_physics}|${ex_model}|/|--json"
    "query|${ex_rules}|${ex_physics}|${ex_model}|${flow}|--verbose")
set(index 0)
foreach(bad IN LISTS usage_cases)
    string(REPLACE "|" ";" bad "${bad}")
    math(EXPR index "${index} + 1")
    add_kelphys_test(kelphys_check_query_usage_${index} 2 "${bad}")
endforeach()
add_test(NAME kelphys_check_help COMMAND kelphys check --help)
set_tests_properties(kelphys_check_help PROPERTIES PASS_REGULAR_EXPRESSION "usage: kelphys check")
add_test(NAME kelphys_query_help COMMAND kelphys query --help)
set_tests_properties(kelphys_query_help PROPERTIES PASS_REGULAR_EXPRESSION "usage: kelphys query")

# ---------------------------------------------------------------- ladder
# 24 levels of two types, each a child of both types of the level above: 2^23 parent type
# paths at the bottom. The schema prints counts instead of lists, and the data checks, in
# time and memory proportional to the files (written here, a few KB each).
set(ladder_dir ${CMAKE_CURRENT_BINARY_DIR}/ladder)
set(ladder_rules "RULES:\n  PARAMETER: p\n    Parameter Type = String\n  END\n")
string(APPEND ladder_rules "  SINGLETON: ROOT\n    Optional Child List = A1, B1\n  END\n")
set(ladder_physics "PHYSICS:\n  DEPENDENCIES:\n")
foreach(level RANGE 1 24)
    math(EXPR next "${level} + 1")
    foreach(type A B)
        set(children "")
        if(level LESS 24)
            set(children "    Optional Child List = A${next}, B${next}\n")
        endif()
        string(APPEND ladder_rules "  OBJECT: ${type}${level}\n${children}"
            "    Optional Parameter List = p\n  END\n")
        string(REPLACE "    Optional Child" "    Ordered Optional Child" children "${children}")
        string(APPEND ladder_physics "    OBJECT DEPENDENCY: ${type}${level}\n${children}"
            "    Ordered Optional Parameter List = p\n    END\n")
    endforeach()
endforeach()
string(APPEND ladder_rules "END\n")
string(APPEND ladder_physics "    PARAMETER VALUES: p\n      Ordered Allowed String List = x, y\n"
    "    END\n  END\nEND\n")
file(WRITE ${ladder_dir}/rules.tarn "${ladder_rules}")
file(WRITE ${ladder_dir}/physics.tarn "${ladder_physics}")
add_kelphys_test(kelphys_rules_ladder 0 "rules;${ladder_dir}/rules.tarn;A24"
    "OUTPUT_MATCH=parent paths: 8388608 paths, too many to list")
add_kelphys_test(kelphys_check_ladder 0 "check;${ladder_dir}/rules.tarn;${ladder_dir}/physics.tarn"
    "OUTPUT_MATCH=48 object definitions, 1 parameter definitions")
