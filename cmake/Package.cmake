# The Debian package for all users (scripts/package): `cpack -G DEB` in a configured build tree.
# It is made from the install rules of cmake/Install.cmake in their system layout below /usr. The
# caches of menu entries, file types and icons are brought up to date by the file triggers of the
# packages that own the tools (desktop-file-utils, shared-mime-info, hicolor-icon-theme): the
# package has no maintainer scripts, nothing runs when it is installed.
set(MAL_PACKAGE_MAINTAINER "Quenbrik Software <maengelliste@quenbrik.example>" CACHE STRING
  "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME maengelliste)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Quenbrik Software")
set(CPACK_PACKAGE_CONTACT "${MAL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "defect lists from a catalogue of assemblies and defects")
set(CPACK_PACKAGE_DESCRIPTION "Mängelliste draws up defect lists after an inspection, in German. The user
keeps a catalogue of assemblies and of the defects filed under them, picks
defects from it into the defect list, and prints the list or exchanges it
with spreadsheets as CSV. Lists are kept in list files (*.mal).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_CUSTOM_INSTALL_VARIABLES "MAL_INSTALL_LAYOUT=system")
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # maengelliste_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The libraries the executable links come from dpkg-shlibdeps. What it cannot see: Qt draws the
# program's SVG icons with the image and icon plugins of libqt6svg6 (without them every button is
# blank), and Qt's own German texts come from qt6-translations-l10n.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
