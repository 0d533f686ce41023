# cmake -DMAL_SOURCE_DIR=<source dir> -P DesktopExecTest.cmake
# The program path as a menu entry's Exec value: quoted only where the desktop entry rules reserve a
# character, escaped inside the quotes, % doubled; the value is a string, whose backslashes double.
include("${MAL_SOURCE_DIR}/cmake/DesktopExec.cmake")
set(failures 0)
function(expect path expected)
  mal_desktop_exec(actual "${path}")
  if(NOT actual STREQUAL expected)
    message(SEND_ERROR "Exec of '${path}' is '${actual}', expected '${expected}'")
  endif()
endfunction()

expect("/home/anna/.local/opt/maengelliste/maengelliste" "/home/anna/.local/opt/maengelliste/maengelliste")
expect("/opt/Mängelliste-1.2/maengelliste" "/opt/Mängelliste-1.2/maengelliste")
expect("/home/anna/Mängel liste/maengelliste" "\"/home/anna/Mängel liste/maengelliste\"")
expect("/opt/a;b/maengelliste" "\"/opt/a;b/maengelliste\"")
expect("/opt/a(b)/m" "\"/opt/a(b)/m\"")
expect("/opt/a~b'c/m" "\"/opt/a~b'c/m\"")
expect("/opt/a\"b/m" "\"/opt/a\\\\\"b/m\"")
expect("/opt/a$b/m" "\"/opt/a\\\\$b/m\"")
expect("/opt/a`b/m" "\"/opt/a\\\\`b/m\"")
expect("/opt/a\\b/m" "\"/opt/a\\\\\\\\b/m\"")
expect("/opt/100%/m" "/opt/100%%/m")
expect("/opt/100% sicher/m" "\"/opt/100%% sicher/m\"")

mal_desktop_string(tryexec "/opt/a\\b c/m")
if(NOT tryexec STREQUAL "/opt/a\\\\b c/m")
  message(SEND_ERROR "TryExec is '${tryexec}'")
endif()
