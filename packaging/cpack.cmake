# A Debian package of both programs: cpack --config build/CPackConfig.cmake
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME recursion-lessons)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Two teaching programs on recursion: recursive figures and a counting rhyme")
set(CPACK_PACKAGE_CONTACT "Recursion lessons <lessons@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Derives the Qt runtime dependencies from the programs themselves.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Cyrillic fonts, and Qt's own texts in Russian.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, qt6-translations-l10n")
include(CPack)
