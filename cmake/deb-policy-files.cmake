# Run by CPack in the Debian package's staging folder before it is packed:
# the files Debian asks of every package, and its manual pages compressed.
# gzip -n keeps names and times out, so the package stays reproducible.
set(root "${CPACK_TEMPORARY_DIRECTORY}/usr")
set(doc "${root}/share/doc/tolvaren")
file(COPY "${CPACK_TOLVAREN_SOURCE_DIR}/docs/copyright" DESTINATION "${doc}")
file(COPY "${CPACK_TOLVAREN_BINARY_DIR}/changelog" DESTINATION "${doc}")
execute_process(COMMAND gzip -9nf "${doc}/changelog" "${root}/share/man/man1/tolvaren-cli.1"
                COMMAND_ERROR_IS_FATAL ANY)
