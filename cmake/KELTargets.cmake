# Helpers shared by every target of the project.

# Compiler warnings for one of our own targets.
function(kel_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(KEL_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# kel_add_library(Name [DEPENDS Lib...])
# Builds src/Name as the shared library libKELName with the alias KEL::Name.
# Public headers live in src/Name/include, one source file per class in src/Name/src.
# A library with no sources yet is skipped, as are libraries depending on one.
function(kel_add_library name)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    set(dir ${PROJECT_SOURCE_DIR}/src/${name})
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/src/*.cpp)
    if(NOT sources)
        return()
    endif()
    foreach(dep IN LISTS ARG_DEPENDS)
        if(NOT TARGET KEL${dep})
            return()
        endif()
    endforeach()
    set(target KEL${name})
    add_library(${target} SHARED ${sources})
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
        VERSION ${PROJECT_VERSION}
        SOVERSION ${PROJECT_VERSION_MAJOR})
    kel_warnings(${target})
    install(TARGETS ${target} EXPORT KELPhysicsDataTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(DIRECTORY ${dir}/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
endfunction()

# Installs the exported targets with a package config and a version file, so that a
# host can find_package(KELPhysicsData) and link KEL::PhysicsData and its siblings.
function(kel_install_package)
    include(CMakePackageConfigHelpers)
    set(cmakedir ${CMAKE_INSTALL_LIBDIR}/cmake/KELPhysicsData)
    install(EXPORT KELPhysicsDataTargets NAMESPACE KEL:: DESTINATION ${cmakedir})
    configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KELPhysicsDataConfig.cmake.in
        ${PROJECT_BINARY_DIR}/KELPhysicsDataConfig.cmake INSTALL_DESTINATION ${cmakedir})
    write_basic_package_version_file(${PROJECT_BINARY_DIR}/KELPhysicsDataConfigVersion.cmake
        COMPATIBILITY SameMinorVersion)
    install(FILES ${PROJECT_BINARY_DIR}/KELPhysicsDataConfig.cmake
        ${PROJECT_BINARY_DIR}/KELPhysicsDataConfigVersion.cmake DESTINATION ${cmakedir})
endfunction()
