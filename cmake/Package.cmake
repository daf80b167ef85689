# The Debian package: `cpack -G DEB` in the build directory packs what `cmake --install`
# installs, under /usr, with the library dependencies dpkg-shlibdeps finds in the programs.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "vortimax")
set(CPACK_PACKAGE_VENDOR "Vortimax developers")
set(CPACK_PACKAGE_CONTACT "${VORTIMAX_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VORTIMAX_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fractal generator with a desktop program and a command line")
# Debian wants the long description in lines of at most 80 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Vortimax calculates escape-time fractals, Julia sets, user formulas, IFS and\n"
    "L-system figures and more. The package holds the desktop program vortimax, the\n"
    "command-line program vortimax-cli, the starter palettes, fractals and formulas,\n"
    "the manual pages, the menu entry and the file types.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
