# What the Linux release holds, installed by `cmake --install` and packed by
# CPack as a tarball and a Debian package.
# With the version filled in.
configure_file(docs/tolvaren-cli.1.in tolvaren-cli.1 @ONLY)
configure_file(docs/changelog.in changelog @ONLY)
install(TARGETS tolvaren-cli RUNTIME DESTINATION bin)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tolvaren-cli.1 DESTINATION share/man/man1)
install(FILES README.md DESTINATION share/doc/tolvaren)
# The licences of the libraries linked into the tool travel with it.
install(FILES docs/copyright DESTINATION share/doc/tolvaren)

set(CPACK_GENERATOR TGZ DEB)
set(CPACK_PACKAGE_NAME tolvaren)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tolvaren")
set(CPACK_PACKAGE_CONTACT "Tolvaren maintainers <maintainers@tolvaren.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "switch a racing game's hidden extra vehicles on or off")
set(CPACK_PACKAGE_DESCRIPTION "tolvaren-cli finds the game's vehicle list inside its archive
Data/common.pak, tells whether the extra vehicles are enabled, and switches
them by rewriting that entry in place. On Linux it finds the installed game
by itself in Wine and Proton prefixes (Steam, Lutris, Bottles, Heroic).")
set(CPACK_STRIP_FILES ON)
set(CPACK_TOLVAREN_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_TOLVAREN_BINARY_DIR ${PROJECT_BINARY_DIR})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# One static file: it needs no other package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)

set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/packaging-per-generator.cmake)
include(CPack)
