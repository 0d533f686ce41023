#!/usr/bin/env bash
# Runs inside an X server: starts the program, waits until its window titled with "mängel.mal" (or
# the given file name) is visible, and closes it through the save question (File menu, Exit, "Nein").
# Usage: start_and_close.sh <path to maengelliste> [<file name in the title> <program arguments>...]
# (from the working directory to start in)
set -euo pipefail
exe=$1
titled=${2:-mängel.mal}
shift $(($# < 2 ? $# : 2))
export QT_QPA_PLATFORM=xcb
"$exe" "$@" & pid=$!
# --onlyvisible: focusing a window before it is mapped fails with BadMatch.
wid=$(timeout 20 xdotool search --sync --onlyvisible --name "^Quenbrik Mängelliste 1.0 - ${titled//./\\.}\$" | head -n1 || true)
if [ -z "$wid" ]; then
  echo "main window not found; windows:"; xdotool search --name '.' getwindowname %@ 2>/dev/null || true
  kill $pid; exit 1
fi
xdotool windowfocus --sync "$wid"
xdotool key --window "$wid" alt+d
sleep 0.5
xdotool key b
box=$(timeout 20 xdotool search --sync --onlyvisible --name 'Datei: Beenden...' | head -n1 || true)
[ -n "$box" ] || { echo "save question not found"; kill $pid; exit 1; }
xdotool windowfocus --sync "$box"
xdotool key alt+n
for _ in $(seq 1 100); do
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
if kill -0 $pid 2>/dev/null; then echo "program still running"; kill $pid; exit 1; fi
wait $pid
