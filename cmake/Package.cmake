# The Debian package, made by scripts/package with cpack from a build tree. It installs under
# /usr; dpkg-shlibdeps works out the library dependencies from the programs and packs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velnor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "The Velnor developers <maintainers@velnor.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the phonebook and messages of a SIM card")
# The summary is the first line of the control field; cpack indents this text under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Velnor reads, edits and writes back the phonebook and the short messages of
a SIM card in a smart-card reader, keeps them safe in files on the computer,
and handles the card's PIN on the way. It works with any PC/SC reader
through pcscd and ships with a virtual demo card.

The package holds the window program velnor and the command-line tool
velnor-cli.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://velnor.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# pcscd reaches real readers; vpcd lets the demo card be served as one.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pcscd, vsmartcard-vpcd")
# The window draws its toolbar from an SVG icon theme and needs CJK fonts for Chinese names;
# without them it falls back to the style's icons and to boxes.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "breeze-icon-theme, libqt6svg6, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
