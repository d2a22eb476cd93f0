# `cpack -G DEB` in the build folder: a Debian package of the installed tree, its library
# dependencies found by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME vpultron64)
set(CPACK_PACKAGE_VENDOR "The vPultron64 developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor and emulator for the Pultron64 MIDI controller")
set(CPACK_PACKAGE_DESCRIPTION
    "vPultron64 edits one bank of the Pultron64, a MIDI controller with 64 pots,
64 buttons and a character display. It moves banks to and from the controller
as SysEx, stores them in files, and plays them on an on-screen virtual box that
sends real MIDI. The command-line companion vpt64 decodes, writes and transfers
banks from scripts.")
set(CPACK_PACKAGE_CONTACT "vPultron64 developers <vpultron64-devel@lists.sourceforge.net>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vpultron64.sourceforge.io/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The bank sheet sets long labels in the condensed face when it is there.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-dejavu-extra)
include(CPack)
