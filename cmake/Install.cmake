# Installing the program. Two layouts share these rules:
#
# folder  - a program folder of its own, for one user (the default when no prefix is configured):
#           `cmake --install <build> --prefix ~/.local/opt/maengelliste`. The folder receives the
#           executable (its icons and pictures are compiled into it), the user guide with its pictures
#           and, only when none is there yet, the starter list file "mängel.mal": the program opens and
#           watches the list file beside its executable, so a user's catalogue is never replaced by a
#           later install, and the folder must be writable by the user who keeps that file. The menu
#           entry, the type of list files and the icons go to the user's data folder, the command
#           `maengelliste` is linked into the bin folder beside it (~/.local/bin), and the desktop's
#           caches are brought up to date.
# system  - the GNU layout below the prefix, for a distribution package (the default when a prefix
#           such as /usr is configured; the Debian package of scripts/package always uses it):
#           bin/maengelliste, share/applications, share/mime/packages, share/icons/hicolor, the guide,
#           its pictures, copyright and changelog in share/doc/maengelliste, the manual page, the starter list file in
#           share/maengelliste (the program copies it into the user's data folder at the first start).
#           The program finds these relative to bin/, so the prefix may be any folder.
#
# The layout may also be chosen at install time (`-DMAL_INSTALL_LAYOUT=...` to cmake -P
# cmake_install.cmake); CPack does so. Nothing runs on the live system when DESTDIR is set.
include(GNUInstallDirs)

set(mal_user_prefix "$ENV{HOME}/.local/opt/maengelliste")
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX "${mal_user_prefix}" CACHE PATH "The program folder (folder layout) or the prefix (system layout)" FORCE)
endif()
if(CMAKE_INSTALL_PREFIX STREQUAL mal_user_prefix)
  set(mal_layout folder)
else()
  set(mal_layout system)
endif()
set(MAL_INSTALL_LAYOUT ${mal_layout} CACHE STRING
  "folder: a program folder for one user, desktop files to the user's data folder; system: GNU layout below the prefix")
set_property(CACHE MAL_INSTALL_LAYOUT PROPERTY STRINGS folder system)
if(NOT MAL_INSTALL_LAYOUT MATCHES "^(folder|system)$")
  message(FATAL_ERROR "MAL_INSTALL_LAYOUT is '${MAL_INSTALL_LAYOUT}'; it must be folder or system")
endif()

set(MAL_DESKTOP_DATA_DIR "" CACHE PATH
  "folder layout: where the menu entry, the file type and the icons go (applications/, mime/, icons/hicolor/ below it) and beside which bin/ gets the link; empty: the installing user's \$XDG_DATA_HOME, or ~/.local/share")

# What the install-time code needs from the configure step, and the destinations of the layout.
install(CODE "
set(MAL_SOURCE_DIR \"${PROJECT_SOURCE_DIR}\")
set(MAL_BINARY_DIR \"${PROJECT_BINARY_DIR}\")
set(MAL_VERSION \"${PROJECT_VERSION}\")
set(MAL_MAINTAINER \"${MAL_PACKAGE_MAINTAINER}\")
set(MAL_DESKTOP_DATA_DIR_CACHED \"${MAL_DESKTOP_DATA_DIR}\")
if(NOT DEFINED MAL_INSTALL_LAYOUT)
  set(MAL_INSTALL_LAYOUT ${MAL_INSTALL_LAYOUT})
endif()
if(MAL_INSTALL_LAYOUT STREQUAL system)
  set(mal_bindir \"${CMAKE_INSTALL_BINDIR}\")
  set(mal_docdir \"${CMAKE_INSTALL_DOCDIR}\")
  set(mal_datadir \"${CMAKE_INSTALL_DATADIR}\")
  set(mal_mandir \"${CMAKE_INSTALL_MANDIR}\")
else()
  set(mal_bindir .)
  set(mal_docdir .)
endif()
")

install(TARGETS maengelliste RUNTIME DESTINATION "\${mal_bindir}")
# The user guide, which the program shows on F1, with its pictures, and made from it the web page
# that the guide's window opens in the browser.
install(FILES docs/Anleitung.md ${MAL_GUIDE_HTML} DESTINATION "\${mal_docdir}")
install(DIRECTORY docs/screenshots DESTINATION "\${mal_docdir}")
# The starter list file, the desktop's files, the link and the caches.
install(SCRIPT cmake/InstallDesktop.cmake)
