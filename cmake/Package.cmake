# The Debian package: `cpack -G DEB` in the build directory packs what `cmake --install`
# installs, under /usr, with the library dependencies dpkg-shlibdeps finds in the programs.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "vortimax")
set(CPACK_PACKAGE_VENDOR "Vortimax developers")
set(CPACK_PACKAGE_CONTACT "Vortimax developers <vortimax@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fractal generator with a desktop program and a command line")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Vortimax calculates escape-time fractals, Julia sets, user formulas, IFS and L-system "
    "figures and more. The package holds the desktop program vortimax, the command-line "
    "program vortimax-cli, the starter palettes, fractals and formulas, the manual pages, "
    "the menu entry and the file types.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
