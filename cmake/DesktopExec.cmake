# mal_desktop_exec(<out> <path>): the path written as the program of a desktop entry's Exec key. It is
# quoted only when it holds a character the desktop entry rules reserve (inside the quotes ", `, $ and
# \ get a backslash); % is doubled. Quoting a plain path is allowed, but the generic fallback of
# xdg-open takes the quotes for part of the name and cannot start the program.
# The result is a string value, whose backslashes are written twice.
function(mal_desktop_exec out path)
  set(arg "${path}")
  if(arg MATCHES "[ \t\n\"'\\\\><~|&;$*?#()`]")
    string(REPLACE "\\" "\\\\" arg "${arg}")
    string(REPLACE "\"" "\\\"" arg "${arg}")
    string(REPLACE "`" "\\`" arg "${arg}")
    string(REPLACE "$" "\\$" arg "${arg}")
    set(arg "\"${arg}\"")
  endif()
  string(REPLACE "%" "%%" arg "${arg}")
  string(REPLACE "\\" "\\\\" arg "${arg}")
  set(${out} "${arg}" PARENT_SCOPE)
endfunction()

# mal_desktop_string(<out> <text>): the text as a desktop entry's string value (TryExec).
function(mal_desktop_string out text)
  string(REPLACE "\\" "\\\\" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
