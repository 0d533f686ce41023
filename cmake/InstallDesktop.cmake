# Install-time part of cmake/Install.cmake: the starter list file, the menu entry, the type of list
# files, the icons, and for the folder layout the link on the PATH and the desktop's caches.
include("${MAL_SOURCE_DIR}/cmake/DesktopExec.cmake")

set(mal_live TRUE) # the install changes the running system (no DESTDIR): caches, PATH advice
if(NOT "$ENV{DESTDIR}" STREQUAL "")
  set(mal_live FALSE)
endif()

if(MAL_INSTALL_LAYOUT STREQUAL system)
  set(mal_exe "${CMAKE_INSTALL_PREFIX}/${mal_bindir}/maengelliste")
  set(mal_data "${CMAKE_INSTALL_PREFIX}/${mal_datadir}")
  # Read-only for everyone: each user works on a copy in their own data folder.
  file(INSTALL "${MAL_SOURCE_DIR}/data/mängel.mal" DESTINATION "${mal_data}/maengelliste")
  # The year of the build, as the about dialog shows the year of the run (SOURCE_DATE_EPOCH is honoured).
  string(TIMESTAMP MAL_YEAR "%Y" UTC)
  set(mal_copyright "${MAL_BINARY_DIR}/desktop/copyright")
  configure_file("${MAL_SOURCE_DIR}/data/debian/copyright.in" "${mal_copyright}" @ONLY)
  file(INSTALL "${mal_copyright}" DESTINATION "${CMAKE_INSTALL_PREFIX}/${mal_docdir}")
  # A Debian changelog and the manual page, compressed as Debian wants them (no name, no time stamp).
  function(mal_install_gzipped template name destination)
    set(mal_file "${MAL_BINARY_DIR}/desktop/${name}")
    configure_file("${template}" "${mal_file}" @ONLY)
    execute_process(COMMAND gzip -9nf "${mal_file}" RESULT_VARIABLE mal_result)
    if(NOT mal_result EQUAL 0)
      message(FATAL_ERROR "gzip ${mal_file} failed: ${mal_result}")
    endif()
    file(INSTALL "${mal_file}.gz" DESTINATION "${destination}")
  endfunction()
  mal_install_gzipped("${MAL_SOURCE_DIR}/data/debian/changelog.in" changelog "${CMAKE_INSTALL_PREFIX}/${mal_docdir}")
  mal_install_gzipped("${MAL_SOURCE_DIR}/data/debian/maengelliste.1" maengelliste.1 "${CMAKE_INSTALL_PREFIX}/${mal_mandir}/man1")
else()
  set(mal_exe "${CMAKE_INSTALL_PREFIX}/maengelliste")
  set(mal_list "${CMAKE_INSTALL_PREFIX}/mängel.mal")
  if(EXISTS "$ENV{DESTDIR}${mal_list}")
    message(STATUS "Kept: $ENV{DESTDIR}${mal_list}")
  else()
    file(INSTALL "${MAL_SOURCE_DIR}/data/mängel.mal" DESTINATION "${CMAKE_INSTALL_PREFIX}")
  endif()
  # The desktop's data folder: the cache variable, else the XDG folder of whoever installs.
  if(MAL_DESKTOP_DATA_DIR_CACHED)
    set(mal_data "${MAL_DESKTOP_DATA_DIR_CACHED}")
  elseif(NOT "$ENV{XDG_DATA_HOME}" STREQUAL "")
    set(mal_data "$ENV{XDG_DATA_HOME}")
  else()
    set(mal_data "$ENV{HOME}/.local/share")
  endif()
endif()
cmake_path(NORMAL_PATH mal_exe)

# The menu entry starts the executable by its absolute path.
mal_desktop_exec(MAL_DESKTOP_EXEC "${mal_exe}")
mal_desktop_string(MAL_DESKTOP_TRYEXEC "${mal_exe}")
set(mal_entry "${MAL_BINARY_DIR}/desktop/maengelliste.desktop")
configure_file("${MAL_SOURCE_DIR}/data/desktop/maengelliste.desktop.in" "${mal_entry}" @ONLY)
file(INSTALL "${mal_entry}" DESTINATION "${mal_data}/applications")

# List files (*.mal) get a type of their own, which the menu entry opens.
file(INSTALL "${MAL_SOURCE_DIR}/data/desktop/maengelliste-mime.xml" DESTINATION "${mal_data}/mime/packages"
     RENAME maengelliste.xml)

set(mal_icons "${MAL_SOURCE_DIR}/data/icons")
file(INSTALL "${mal_icons}/maengelliste.svg" DESTINATION "${mal_data}/icons/hicolor/scalable/apps")
foreach(mal_size 48 256)
  file(INSTALL "${mal_icons}/maengelliste-${mal_size}.png" DESTINATION "${mal_data}/icons/hicolor/${mal_size}x${mal_size}/apps"
       RENAME maengelliste.png)
endforeach()

# For one user: the command on the PATH, as a link in the bin folder beside the data folder
# (~/.local/bin), which the shell's profile puts on the PATH once it exists.
if(MAL_INSTALL_LAYOUT STREQUAL folder)
  get_filename_component(mal_bin "${mal_data}/../bin" ABSOLUTE)
  set(mal_link "${mal_bin}/maengelliste")
  if(EXISTS "$ENV{DESTDIR}${mal_link}" AND NOT IS_SYMLINK "$ENV{DESTDIR}${mal_link}")
    message(NOTICE "Not linked: $ENV{DESTDIR}${mal_link} exists and is no link; start the program as ${mal_exe}")
  else()
    file(MAKE_DIRECTORY "$ENV{DESTDIR}${mal_bin}")
    file(CREATE_LINK "${mal_exe}" "$ENV{DESTDIR}${mal_link}" SYMBOLIC)
    message(STATUS "Linked: $ENV{DESTDIR}${mal_link} -> ${mal_exe}")
    set(mal_on_path FALSE)
    string(REPLACE ":" ";" mal_path "$ENV{PATH}")
    foreach(mal_dir IN LISTS mal_path)
      if(mal_dir)
        get_filename_component(mal_dir "${mal_dir}" ABSOLUTE)
        if(mal_dir STREQUAL mal_bin)
          set(mal_on_path TRUE)
        endif()
      endif()
    endforeach()
    if(mal_live AND NOT mal_on_path)
      set(mal_advice "add it, e.g. with the line  export PATH=\"${mal_bin}:\$PATH\"  in ~/.profile")
      if(mal_bin STREQUAL "$ENV{HOME}/.local/bin")
        # Debian's ~/.profile puts ~/.local/bin on the PATH when it exists at login.
        set(mal_advice "log in again (~/.profile adds it once it exists) or ${mal_advice}")
      endif()
      message(NOTICE "${mal_bin} is not on your PATH, so the command maengelliste is not found yet: ${mal_advice}.")
    endif()
  endif()
endif()

# The desktop's caches. A package leaves them to the triggers of the packages that own the tools;
# an install into DESTDIR touches nothing of the running system.
function(mal_refresh_desktop_cache tool package folder)
  find_program(mal_tool_${tool} ${tool})
  if(NOT mal_tool_${tool})
    message(NOTICE "${tool} was not found, so the desktop does not know the file type *.mal yet: install the "
                   "package ${package} (sudo apt-get install ${package}) and run  ${tool} \"${folder}\"")
    return()
  endif()
  execute_process(COMMAND "${mal_tool_${tool}}" "${folder}" RESULT_VARIABLE mal_result)
  if(NOT mal_result EQUAL 0)
    message(WARNING "${tool} ${folder} failed: ${mal_result}")
  endif()
endfunction()
if(mal_live)
  mal_refresh_desktop_cache(update-mime-database shared-mime-info "${mal_data}/mime")
  mal_refresh_desktop_cache(update-desktop-database desktop-file-utils "${mal_data}/applications")
endif()
