#!/usr/bin/env bash
# Runs inside an X server from the program's folder: the steps of recovery_test.sh.
# Usage: recovery_steps.sh <path to maengelliste> ja|nein
set -euo pipefail
exe=$1
answer=$2
export QT_QPA_PLATFORM=xcb
pid=
trap '[ -z "$pid" ] || kill $pid 2>/dev/null || true' EXIT

# The window whose title matches, once it is visible (polls up to 30 s).
window() {
  for _ in $(seq 1 300); do
    xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 | grep . && return 0
    sleep 0.1
  done
  return 0
}
keys() { xdotool key --clearmodifiers --delay 60 "$@"; }
copies() { ls "$XDG_STATE_HOME"/maengelliste/sitzung-*.kopie 2>/dev/null || true; }

"$exe" & pid=$!
main=$(window '^Quenbrik Mängelliste 1\.0 - mängel\.mal$')
[ -n "$main" ] || { echo "main window not found"; exit 1; }
xdotool windowfocus --sync "$main"
# A new assembly: the assemblies' add button is the second stop of the focus.
keys Tab space
xdotool type --delay 60 'Wand'; keys Return
for _ in $(seq 1 300); do [ -n "$(copies)" ] && grep -qa Wand $(copies) && break; sleep 0.1; done
[ -n "$(copies)" ] || { echo "no recovery copy was written"; exit 1; }
kill -9 $pid; wait $pid 2>/dev/null || true

"$exe" & pid=$!
box=$(window '^Wiederherstellen$'); [ -n "$box" ] || { echo "no recovery question"; exit 1; }
xdotool windowfocus --sync "$box"
if [ "$answer" = ja ]; then keys Return; else keys alt+n; fi
main=$(window '^Quenbrik Mängelliste 1\.0 - mängel\.mal$')
[ -n "$main" ] || { echo "main window not found after the question"; exit 1; }
xdotool windowfocus --sync "$main"
[ "$answer" != ja ] || keys ctrl+s
keys ctrl+q
box=$(window '^Datei: Beenden\.\.\.$'); [ -n "$box" ] || { echo "save question not found"; exit 1; }
xdotool windowfocus --sync "$box"; keys alt+n
for _ in $(seq 1 300); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
if kill -0 $pid 2>/dev/null; then echo "program still running"; exit 1; fi
pid=
