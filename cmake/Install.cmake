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

# Manual pages, written by the build (src/cli).
install(FILES "${PROJECT_BINARY_DIR}/man/vortimax.1" "${PROJECT_BINARY_DIR}/man/vortimax-cli.1"
        DESTINATION share/man/man1)
