# Installing the program: `cmake --install <build> --prefix <program folder>`.
#
# The prefix is the program's own folder. It receives the executable (its icons and pictures are
# compiled into it), the user guide and, only when none is there yet, the starter list file "mängel.mal": the
# program opens and watches the list file beside its executable, so a user's catalogue is never
# replaced by a later install, and the folder must be writable by the user who keeps that file.
# The menu entry, the type of list files and the program icon go to the desktop's data folder.

# Without an explicit prefix, install for the current user.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local/opt/maengelliste" CACHE PATH "The program folder" FORCE)
endif()

set(MAL_DESKTOP_DATA_DIR "" CACHE PATH
  "Where the menu entry and the icon go (applications/, icons/hicolor/ below it); empty: the installing user's \$XDG_DATA_HOME, or ~/.local/share")

install(TARGETS maengelliste RUNTIME DESTINATION .)
# The user guide, which the program shows on F1, with its pictures.
install(FILES docs/Anleitung.md DESTINATION .)
install(DIRECTORY docs/screenshots DESTINATION .)

# What the install-time code below needs to know from the configure step.
install(CODE "
set(MAL_SOURCE_DIR \"${PROJECT_SOURCE_DIR}\")
set(MAL_BINARY_DIR \"${PROJECT_BINARY_DIR}\")
set(MAL_DESKTOP_DATA_DIR_CACHED \"${MAL_DESKTOP_DATA_DIR}\")
")

install(CODE [[
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

# The menu entry starts the executable by its absolute path. Exec quotes it and escapes ", `, $
# and \ inside the quotes, % is doubled; both keys are strings, whose \ is written \\.
set(mal_exe "${CMAKE_INSTALL_PREFIX}/maengelliste")
string(REPLACE "\\" "\\\\" mal_quoted "${mal_exe}")
string(REPLACE "\"" "\\\"" mal_quoted "${mal_quoted}")
string(REPLACE "`" "\\`" mal_quoted "${mal_quoted}")
string(REPLACE "$" "\\$" mal_quoted "${mal_quoted}")
string(REPLACE "%" "%%" mal_quoted "${mal_quoted}")
string(REPLACE "\\" "\\\\" MAL_DESKTOP_EXEC "\"${mal_quoted}\"")
string(REPLACE "\\" "\\\\" MAL_DESKTOP_TRYEXEC "${mal_exe}")
set(mal_entry "${MAL_BINARY_DIR}/desktop/maengelliste.desktop")
configure_file("${MAL_SOURCE_DIR}/data/desktop/maengelliste.desktop.in" "${mal_entry}" @ONLY)
file(INSTALL "${mal_entry}" DESTINATION "${mal_data}/applications")

# List files (*.mal) get a type of their own, which the menu entry opens; the desktop's caches are
# brought up to date when its tools are there.
file(INSTALL "${MAL_SOURCE_DIR}/data/desktop/maengelliste-mime.xml" DESTINATION "${mal_data}/mime/packages"
     RENAME maengelliste.xml)
# Runs one of the desktop's cache tools over a folder, when the tool is installed.
function(mal_refresh_desktop_cache tool folder)
  find_program(mal_tool_${tool} ${tool})
  if(mal_tool_${tool})
    execute_process(COMMAND "${mal_tool_${tool}}" "${folder}" RESULT_VARIABLE mal_result)
    if(NOT mal_result EQUAL 0)
      message(WARNING "${tool} ${folder} failed: ${mal_result}")
    endif()
  endif()
endfunction()
mal_refresh_desktop_cache(update-mime-database "${mal_data}/mime")
mal_refresh_desktop_cache(update-desktop-database "${mal_data}/applications")

set(mal_icons "${MAL_SOURCE_DIR}/data/icons")
file(INSTALL "${mal_icons}/maengelliste.svg" DESTINATION "${mal_data}/icons/hicolor/scalable/apps")
foreach(mal_size 48 256)
  file(INSTALL "${mal_icons}/maengelliste-${mal_size}.png" DESTINATION "${mal_data}/icons/hicolor/${mal_size}x${mal_size}/apps"
       RENAME maengelliste.png)
endforeach()
]])
