# The Debian package, built by `cpack --preset package`: pelorin_<version>_<arch>.deb, installed
# under /usr with its settings in /etc, its dependencies worked out from the binaries by
# dpkg-shlibdeps. It holds no user file: that is the administrator's, outside /usr.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelorin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Pelorin developers")
set(CPACK_PACKAGE_CONTACT ${PELORIN_MAINTAINER})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_STRIP_PROGRAM ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/StripPackage.cmake)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME pelorin)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${PELORIN_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "user manager for the Zortan GIS application")
# CPack puts the summary first; this is the extended description that follows it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Pelorin keeps the users of Zortan in its binary user file UsrPass.dat: logon
names, the Zortan and network passwords, the rights over parcels, layers,
objects and a few functions, and 32 object flags. The program pelorin has a
Polish Qt interface and locks the user file while it runs; the command-line
tool usrpass creates, checks and lists user files, and adds, changes and
removes users and sets passwords from scripts.")

# One package with everything, the settings in /etc too, which dpkg keeps as a conffile: an
# administrator's changes survive upgrades, and only a purge removes the file.
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${PROJECT_BINARY_DIR};${PROJECT_NAME};ALL;/"
    "${PROJECT_BINARY_DIR};${PROJECT_NAME};settings;/")
file(WRITE ${PROJECT_BINARY_DIR}/dist/conffiles "/etc/pelorin.conf\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/dist/conffiles)

include(CPack)
