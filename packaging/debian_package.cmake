# One Debian package with both programs: cpack -G DEB in the build directory
# (./build.sh package). Included at the end of the top-level CMakeLists, after
# every install rule.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kalorix-diffundo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "teaching programs on entropy and temperature (German)")
# Lines below 80 characters, as Debian's package tools show them.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Two small desktop programs for school physics, with German texts, that
teach the statistical meaning of entropy and temperature.

kalorix lets two rooms of two-level atoms exchange energy: a theoretical
analysis plots the entropies of both rooms and of the whole and marks the
thermal equilibrium; an experimental analysis moves energy between randomly
chosen atoms trial by trial.

diffundo lets gas atoms hop at random between two boxes and compares the
observed frequency of every split with the number of its realisations.")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)

# The libraries (Qt Core, Gui, Widgets, Multimedia, the C++ runtime) are
# computed by dpkg-shlibdeps from the executables. What no executable links
# is named here: the fonts the surface draws its text with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
# Qt's own dialog texts in German; without them they stay English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")

# Debian ships programs stripped, in directories of mode 0755.
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)

include(CPack)
