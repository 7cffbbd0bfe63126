# The Debian package: `cpack -G DEB` in a build tree (scripts/package.sh) makes korvane_<version>_<arch>.deb.
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VENDOR "The Korvane developers")
set(CPACK_PACKAGE_CONTACT "The Korvane developers <korvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop console for the DL25 titrator")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Korvane takes the place of the keypad and the printer of a DL25 potentiometric titrator\n\
connected by a serial cable: it starts titrations, shows what the titrator prints, turns its\n\
measuring tables into a result table and a titration curve, and keeps and uploads methods.\n\
A simulated titrator (korvane-sim) lets it run without an instrument.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY korvane)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The library packages come from the programs' own links; what is loaded at run time is named here:
# the window system's platform plugin, the tool bar's pictures and the fonts the program asks for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "adwaita-icon-theme, fonts-liberation, fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
include(CPack)
