# Installs the build tree into a scratch prefix, then configures, builds and runs the
# consumer project against it. Arguments: SOURCE_DIR, BUILD_DIR, WORK_DIR.
cmake_minimum_required(VERSION 3.25)

foreach(var SOURCE_DIR BUILD_DIR WORK_DIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "run.cmake needs -D${var}=...")
    endif()
endforeach()

set(prefix ${WORK_DIR}/prefix)
set(consumer_build ${WORK_DIR}/build)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

# Build the consumer the way the package was built: same generator, compiler and build
# type, and the sanitizer flags when the libraries carry the sanitizer runtime.
load_cache(${BUILD_DIR} READ_WITH_PREFIX parent_
    CMAKE_GENERATOR CMAKE_CXX_COMPILER CMAKE_BUILD_TYPE KEL_SANITIZE)
set(consumer_args -G ${parent_CMAKE_GENERATOR}
    -DCMAKE_CXX_COMPILER=${parent_CMAKE_CXX_COMPILER}
    -DCMAKE_BUILD_TYPE=${parent_CMAKE_BUILD_TYPE}
    -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_FIND_PACKAGE_NO_PACKAGE_REGISTRY=ON
    -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF)
if(parent_KEL_SANITIZE)
    set(sanitize "-fsanitize=address,undefined -fno-omit-frame-pointer")
    list(APPEND consumer_args "-DCMAKE_CXX_FLAGS=${sanitize}"
        "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined")
endif()

function(run_step name)
    message(STATUS "package_consumer: ${name}")
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result
        OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "package_consumer: ${name} failed (${result}):\n${output}")
    endif()
    message("${output}")
endfunction()

run_step("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
file(GLOB_RECURSE version_file ${prefix}/*/KELPhysicsDataConfigVersion.cmake)
if(NOT version_file)
    message(FATAL_ERROR "package_consumer: no package version file was installed")
endif()
run_step("configure" ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/consumer -B ${consumer_build}
    ${consumer_args})
run_step("build" ${CMAKE_COMMAND} --build ${consumer_build})
run_step("run" ${consumer_build}/consumer)
