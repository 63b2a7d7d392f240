# Run by CPack in the Debian package's staging folder before it is packed:
# the files Debian asks of every package, its manual pages compressed, and
# what lintian is to know of the static tool.
# gzip -n keeps names and times out, so the package stays reproducible.
set(root "${CPACK_TEMPORARY_DIRECTORY}/usr")
set(doc "${root}/share/doc/tolvaren")
file(COPY "${CPACK_TOLVAREN_SOURCE_DIR}/docs/copyright" DESTINATION "${doc}")
file(COPY "${CPACK_TOLVAREN_BINARY_DIR}/changelog" DESTINATION "${doc}")
file(MAKE_DIRECTORY "${root}/share/lintian/overrides")
file(COPY_FILE "${CPACK_TOLVAREN_SOURCE_DIR}/docs/lintian-overrides"
     "${root}/share/lintian/overrides/tolvaren" ONLY_IF_DIFFERENT)
execute_process(COMMAND gzip -9nf "${doc}/changelog" "${root}/share/man/man1/tolvaren-cli.1"
                COMMAND_ERROR_IS_FATAL ANY)
