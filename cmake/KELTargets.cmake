# Helpers shared by every target of the project.

set(KEL_PACKAGE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/KELPhysicsData)

# Compiler warnings for one of our own targets.
function(kel_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(KEL_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# kel_relocatable(target)
# Gives an installed target a run path relative to its own location, so that the tool and
# the libraries find the libraries in any prefix without environment variables. A host
# that sets CMAKE_INSTALL_RPATH itself keeps its own choice.
function(kel_relocatable target)
    if(DEFINED CMAKE_INSTALL_RPATH OR NOT BUILD_SHARED_LIBS)
        return()
    endif()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        set(from ${CMAKE_INSTALL_FULL_BINDIR})
    else()
        set(from ${CMAKE_INSTALL_FULL_LIBDIR})
    endif()
    file(RELATIVE_PATH rel ${from} ${CMAKE_INSTALL_FULL_LIBDIR})
    set(origin $ORIGIN)
    if(APPLE)
        set(origin @loader_path)
    endif()
    if(rel)
        set_target_properties(${target} PROPERTIES INSTALL_RPATH "${origin}/${rel}")
    else()
        set_target_properties(${target} PROPERTIES INSTALL_RPATH "${origin}")
    endif()
endfunction()

# kel_add_library(Name [DEPENDS Lib...])
# Builds src/Name as the library libKELName with the alias KEL::Name, shared or static as
# BUILD_SHARED_LIBS says. Public headers live in src/Name/include, one source file per
# class in src/Name/src.
function(kel_add_library name)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    set(dir ${PROJECT_SOURCE_DIR}/src/${name})
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/src/*.cpp)
    set(target KEL${name})
    add_library(${target} ${sources})
    add_library(KEL::${name} ALIAS ${target})
    target_include_directories(${target} PUBLIC
        $<BUILD_INTERFACE:${dir}/include>
        $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
    foreach(dep IN LISTS ARG_DEPENDS)
        target_link_libraries(${target} PUBLIC KEL::${dep})
    endforeach()
    target_compile_features(${target} PUBLIC cxx_std_20)
    set_target_properties(${target} PROPERTIES
        EXPORT_NAME ${name}
        POSITION_INDEPENDENT_CODE ON
        VERSION ${PROJECT_VERSION}
        SOVERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
    kel_warnings(${target})
    kel_relocatable(${target})
    if(KEL_INSTALL)
        install(TARGETS ${target} EXPORT KELPhysicsDataTargets
            LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
            ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
            RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
        install(DIRECTORY ${dir}/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
    endif()
    set_property(GLOBAL APPEND PROPERTY KEL_LIBRARIES ${name})
endfunction()

# Installs the exported targets with a package config and a version file, so that a host
# can find_package(KELPhysicsData) and link KEL::PhysicsData and its siblings, and a
# pkg-config file, kelphysicsdata.pc, for hosts built without CMake.
function(kel_install_package)
    include(CMakePackageConfigHelpers)
    install(EXPORT KELPhysicsDataTargets NAMESPACE KEL:: DESTINATION ${KEL_PACKAGE_CMAKE_DIR})
    get_property(KEL_COMPONENTS GLOBAL PROPERTY KEL_LIBRARIES)
    list(JOIN KEL_COMPONENTS " " KEL_COMPONENTS_LIST)
    configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KELPhysicsDataConfig.cmake.in
        ${PROJECT_BINARY_DIR}/KELPhysicsDataConfig.cmake
        INSTALL_DESTINATION ${KEL_PACKAGE_CMAKE_DIR})
    # Before 1.0 a minor release may change the interface, so only the same minor version
    # is compatible.
    write_basic_package_version_file(${PROJECT_BINARY_DIR}/KELPhysicsDataConfigVersion.cmake
        COMPATIBILITY SameMinorVersion)
    install(FILES ${PROJECT_BINARY_DIR}/KELPhysicsDataConfig.cmake
        ${PROJECT_BINARY_DIR}/KELPhysicsDataConfigVersion.cmake
        DESTINATION ${KEL_PACKAGE_CMAKE_DIR})

    # pkg-config: one file for the whole stack, highest library first so that static
    # libraries link in the right order. The prefix is found from the file's own place,
    # so the installed tree may be moved.
    set(pcdir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
    file(RELATIVE_PATH pc_to_prefix ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
    string(REGEX REPLACE "/$" "" pc_to_prefix "${pc_to_prefix}")
    set(KEL_PC_PREFIX "\${pcfiledir}/${pc_to_prefix}")
    set(KEL_PC_LIBS)
    list(REVERSE KEL_COMPONENTS)
    foreach(lib IN LISTS KEL_COMPONENTS)
        string(APPEND KEL_PC_LIBS " -lKEL${lib}")
    endforeach()
    configure_file(${PROJECT_SOURCE_DIR}/cmake/kelphysicsdata.pc.in
        ${PROJECT_BINARY_DIR}/kelphysicsdata.pc @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/kelphysicsdata.pc DESTINATION ${pcdir})
endfunction()
