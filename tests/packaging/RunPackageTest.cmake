# Uses the built libraries the way a host would. Run with cmake -P and
#   -DSTEP=install|find_package|pkg_config|tool|subproject
#   -DSOURCE_DIR=<project source> -DBUILD_DIR=<project build> -DWORK_DIR=<scratch folder>
#   [-DTOOL=ON when kelphys is built and must be installed]
#
# install      installs the build into a staging prefix and moves it to WORK_DIR/prefix, so
#              that every later step also proves the installed tree is relocatable
# find_package builds tests/packaging/host against the prefix with find_package() and runs it
# pkg_config   compiles the same host with `pkg-config --cflags --libs kelphysicsdata`
# tool         runs the installed kelphys with an empty environment
# subproject   builds the host with the library as a sub-project, GoogleTest hidden (the
#              build folder is kept, so a second run is incremental)
cmake_minimum_required(VERSION 3.25)

foreach(var STEP SOURCE_DIR BUILD_DIR WORK_DIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "RunPackageTest.cmake needs -D${var}=...")
    endif()
endforeach()

set(prefix ${WORK_DIR}/prefix)
set(host_source ${SOURCE_DIR}/tests/packaging/host)
set(examples ${SOURCE_DIR}/examples)

# Build hosts the way the package was built: same generator, compiler and build type, and
# the sanitizer flags when the libraries carry a sanitizer runtime.
load_cache(${BUILD_DIR} READ_WITH_PREFIX parent_
    CMAKE_GENERATOR CMAKE_CXX_COMPILER CMAKE_BUILD_TYPE KEL_SANITIZE KEL_SANITIZE_THREAD)
set(sanitize)
if(parent_KEL_SANITIZE)
    set(sanitize -fsanitize=address,undefined -fno-omit-frame-pointer)
elseif(parent_KEL_SANITIZE_THREAD)
    set(sanitize -fsanitize=thread)
endif()

function(run_step name)
    message(STATUS "${STEP}: ${name}")
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result
        OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${STEP}: ${name} failed (${result}):\n${output}")
    endif()
    message("${output}")
endfunction()

function(require_installed)
    foreach(pattern IN LISTS ARGN)
        file(GLOB_RECURSE found ${prefix}/${pattern})
        if(NOT found)
            message(FATAL_ERROR "install: nothing matches ${pattern} in ${prefix}")
        endif()
    endforeach()
endfunction()

# Configures, builds and runs tests/packaging/host in WORK_DIR/<name> with extra arguments.
function(build_and_run_host name)
    list(JOIN sanitize " " flags)
    set(build ${WORK_DIR}/${name})
    run_step("configure" ${CMAKE_COMMAND} -S ${host_source} -B ${build}
        -G ${parent_CMAKE_GENERATOR} -DCMAKE_CXX_COMPILER=${parent_CMAKE_CXX_COMPILER}
        "-DCMAKE_CXX_FLAGS=${flags}" "-DCMAKE_EXE_LINKER_FLAGS=${flags}"
        -DCMAKE_FIND_PACKAGE_NO_PACKAGE_REGISTRY=ON ${ARGN})
    run_step("build" ${CMAKE_COMMAND} --build ${build} --target host -j 2)
    run_step("run" ${build}/host ${examples})
endfunction()

if(STEP STREQUAL "install")
    set(staging ${WORK_DIR}/staging)
    file(REMOVE_RECURSE ${WORK_DIR})
    run_step("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${staging})
    file(RENAME ${staging} ${prefix})
    require_installed(*/KELPhysicsDataConfig.cmake */KELPhysicsDataConfigVersion.cmake
        */KELPhysicsDataTargets.cmake */pkgconfig/kelphysicsdata.pc
        include/kel/physicsdata/physics/PhysicsData.h *libKELPhysicsData*)
    if(TOOL)
        require_installed(bin/kelphys)
    endif()

elseif(STEP STREQUAL "find_package")
    file(REMOVE_RECURSE ${WORK_DIR}/find_package)
    build_and_run_host(find_package -DCMAKE_BUILD_TYPE=${parent_CMAKE_BUILD_TYPE}
        -DCMAKE_PREFIX_PATH=${prefix})

elseif(STEP STREQUAL "pkg_config")
    find_program(pkg_config NAMES pkg-config pkgconf REQUIRED)
    file(GLOB_RECURSE pc ${prefix}/kelphysicsdata.pc)
    get_filename_component(pcdir "${pc}" DIRECTORY)
    set(ENV{PKG_CONFIG_PATH} ${pcdir})
    execute_process(COMMAND ${pkg_config} --cflags --libs kelphysicsdata
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${pkg_config} --variable=libdir kelphysicsdata
        OUTPUT_VARIABLE libdir OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    message(STATUS "pkg-config --cflags --libs kelphysicsdata: ${flags}")
    separate_arguments(flags UNIX_COMMAND "${flags}")
    set(host ${WORK_DIR}/pkg_config/host)
    file(MAKE_DIRECTORY ${WORK_DIR}/pkg_config)
    run_step("compile" ${parent_CMAKE_CXX_COMPILER} -std=c++20 -Wall -Wextra -Werror ${sanitize}
        ${host_source}/main.cpp -o ${host} ${flags} -Wl,-rpath,${libdir})
    run_step("run" ${host} ${examples})

elseif(STEP STREQUAL "tool")
    run_step("kelphys check" env -i ${prefix}/bin/kelphys check
        ${examples}/rules.tarn ${examples}/physics.tarn)

elseif(STEP STREQUAL "subproject")
    build_and_run_host(subproject -DKEL_SOURCE_DIR=${SOURCE_DIR}
        -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON)

else()
    message(FATAL_ERROR "unknown STEP ${STEP}")
endif()
