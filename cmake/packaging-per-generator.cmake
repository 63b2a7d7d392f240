# Read by CPack for each generator: the tarball's paths start at bin/, the
# package's at /usr, with what Debian asks of a package added.
if(CPACK_GENERATOR STREQUAL "DEB")
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb-policy-files.cmake)
else()
    set(CPACK_PACKAGING_INSTALL_PREFIX "")
    set(CPACK_PACKAGE_FILE_NAME tolvaren-${CPACK_PACKAGE_VERSION}-linux-x86_64)
endif()
