# Binary packages of what `cmake --install` puts in place (libraries, headers, CMake and
# pkg-config package files, the kelphys tool):
#
#   cmake --build build/release && cd build/release && cpack -G "TGZ;DEB"
#
# The .deb installs under /usr; the .tar.gz unpacks into a relocatable tree.
set(CPACK_PACKAGE_NAME kelphysicsdata)
set(CPACK_PACKAGE_VENDOR "KEL")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "KEL physics data maintainers <physicsdata@kel.invalid>")
set(CPACK_GENERATOR "TGZ;DEB")
set(CPACK_PACKAGE_FILE_NAME
    "${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")

set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${PROJECT_DESCRIPTION}
 Reads RULES and PHYSICS data of simulation set-up models and answers which children
 and parameters an object offers and what values each may take. Holds the libraries,
 their headers, CMake and pkg-config package files, and the kelphys tool.")
# Everything links only the C and C++ runtimes.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")

include(CPack)
