# Install layout: the programs in <prefix>/bin and the shipped data in
# <prefix>/share/vortimax. The programs look for their data at ../share/vortimax from their
# own location, so these two paths stay fixed (not GNUInstallDirs variables) and an
# installed tree can be moved as a whole.
set(VORTIMAX_INSTALL_DATA_DIR "share/vortimax")

install(TARGETS vortimax vortimax-cli RUNTIME DESTINATION bin)

install(FILES "${PROJECT_SOURCE_DIR}/data/PosPrefs.asc" DESTINATION ${VORTIMAX_INSTALL_DATA_DIR})
install(DIRECTORY
  "${PROJECT_SOURCE_DIR}/data/Palettes"
  "${PROJECT_SOURCE_DIR}/data/Fractals"
  "${PROJECT_SOURCE_DIR}/data/Formulas"
  "${PROJECT_SOURCE_DIR}/data/Anims"
  "${PROJECT_SOURCE_DIR}/data/Pictures"
  DESTINATION ${VORTIMAX_INSTALL_DATA_DIR})

# Manual pages, written and compressed by the build (src/cli); man reads them compressed, as
# distributions install them.
install(FILES "${PROJECT_BINARY_DIR}/man/vortimax.1.gz" "${PROJECT_BINARY_DIR}/man/vortimax-cli.1.gz"
        DESTINATION share/man/man1)

# Copyright and change log, where Debian-style systems keep every package's documents.
set(VORTIMAX_DOC_DIR "${PROJECT_BINARY_DIR}/doc")
configure_file("${PROJECT_SOURCE_DIR}/dist/linux/changelog" "${VORTIMAX_DOC_DIR}/changelog" @ONLY)
add_custom_command(OUTPUT "${VORTIMAX_DOC_DIR}/changelog.gz"
  COMMAND gzip -9 -n -f -k "${VORTIMAX_DOC_DIR}/changelog"
  DEPENDS "${VORTIMAX_DOC_DIR}/changelog"
  VERBATIM)
add_custom_target(package-documents ALL DEPENDS "${VORTIMAX_DOC_DIR}/changelog.gz")
install(FILES "${PROJECT_SOURCE_DIR}/dist/linux/copyright" "${VORTIMAX_DOC_DIR}/changelog.gz"
        DESTINATION share/doc/vortimax)
