# Shared by the step scripts that run inside an X server: finding windows by title and typing keys.
# Source it: . "$(dirname "$0")/lib.sh"
export QT_QPA_PLATFORM=xcb
# A German keyboard: umlauts and ß are keys of their own, so that typing them needs no keymap change
# (xdotool's temporary remapping of a spare key loses characters on a busy machine).
setxkbmap de 2>/dev/null || true

# The window whose title matches, once it is visible (polls up to 30 s). A search fails when a
# window it looks at goes away meanwhile, so a failed search is tried again.
window() {
  for _ in $(seq 1 300); do
    xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 | grep . && return 0
    sleep 0.1
  done
  return 0
}
# Waits until no visible window matches.
gone() {
  for _ in $(seq 1 300); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  echo "window still open: $1"; exit 1
}
# Finds the window whose title matches and gives it the focus; fails with the name when there is none.
# Prints the window's id.
focused() {
  local id
  id=$(window "$1")
  if [ -z "$id" ]; then
    echo "window not found: $1; windows:" >&2
    xdotool search --onlyvisible --name '.' getwindowname %@ >&2 2>/dev/null || true
    [ -z "${E2E_SHOT:-}" ] || import -window root "$E2E_SHOT"
    exit 1
  fi
  xdotool windowfocus --sync "$id"
  echo "$id"
}
keys() { xdotool key --clearmodifiers --delay 60 "$@"; }
typed() { xdotool type --delay 60 "$1"; }
# The main window's title pattern for a document name.
main_title() { echo "^Quenbrik Mängelliste 1\\.0 - ${1//./\\.}\$"; }
# Quits the program with pid $1 from its main window, answering the save question "Nein", and
# waits until it has ended.
quit_without_saving() {
  keys ctrl+q
  focused '^Datei: Beenden\.\.\.$' >/dev/null
  keys alt+n
  for _ in $(seq 1 300); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$1" 2>/dev/null; then echo "program still running"; exit 1; fi
  wait "$1"
}
