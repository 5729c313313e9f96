# A Debian package of both programs: cpack --config build/CPackConfig.cmake
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME recursion-lessons)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Two teaching programs on recursion: recursive figures and a counting rhyme")
# The extended description; each line stays within 80 columns in the package.
set(CPACK_PACKAGE_DESCRIPTION [[
Two small desktop programs for a school lesson on recursion, in Russian.
.
figdraw draws recursive figures on a square canvas: chains of circles
along the horizontal, the vertical and the diagonal, a four-armed and a
six-armed snowflake, and a Sierpinski triangle in random colours. A button
picks the figure and a prompt asks for its size.
.
countdown writes a counting-down verse, one verse per count, by recursion.
.
Both programs can unfold the recursion at once, fast, slowly or step by
step, so that a class can watch each call at work.]])
set(CPACK_PACKAGE_CONTACT "Recursion lessons <lessons@recursionlessons.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# Derives the Qt runtime dependencies from the programs themselves.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Cyrillic fonts, Qt's own texts in Russian, and the standard library of the Python
# recursion-runner was built against: the modules it imports (math, random, difflib)
# are not libraries that shlibdeps finds.
get_property(runner_python_version GLOBAL PROPERTY RUNNER_PYTHON_VERSION)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-dejavu-core, qt6-translations-l10n, libpython${runner_python_version}-stdlib")
include(CPack)
