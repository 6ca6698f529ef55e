# The Debian package: `cpack -G DEB` in the build folder, or scripts/package.sh.
# It installs below /usr everything of the "program" component; the empty
# database stays out, so every user gets a database of their own in their data
# folder (store/DatabaseLocation.h) and removing the package leaves it there.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qorcofra)
set(CPACK_PACKAGE_VENDOR "The QorCofra developers")
set(CPACK_PACKAGE_CONTACT "The QorCofra developers <qorcofra@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keeps private texts encrypted under a key")
set(CPACK_PACKAGE_DESCRIPTION
    "Qor Cofra keeps private texts. You write in its editor and save the text, under a name, as an "
    "entry in a small database file of your own. Saving always encrypts: you choose a key and write "
    "a key hint, which is kept in the clear to remind you of the key.\n"
    "Entries are encrypted with RC4, an old stream cipher with known weaknesses: it keeps a text from "
    "casual readers, not from a determined attacker.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};program;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${COFRA_WEB_ADDRESS}")
# The libraries the program links are found by dpkg-shlibdeps (Debian's
# dpkg-dev); the SQLite driver is a plug-in Qt loads at run time, so it is named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
include(CPack)
