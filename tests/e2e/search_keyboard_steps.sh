#!/usr/bin/env bash
# Runs inside an X server from the program's folder: the keys of search_keyboard_test.sh.
# Usage: search_keyboard_steps.sh <path to maengelliste>
set -euo pipefail
exe=$1
export QT_QPA_PLATFORM=xcb
"$exe" & pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
. "$(dirname "$0")/xdo.sh"
main=$(window '^Quenbrik Mängelliste 1\.0 - mängel\.mal$')
[ -n "$main" ] || { echo "main window not found"; exit 1; }
xdotool windowfocus --sync "$main"

# Return picks the only match and leaves the field's text selected, so the next one is typed over it.
keys ctrl+f
typed 'loch'; keys Return
typed 'tur'; keys Return
keys ctrl+s
# Quit; the question whether to save is answered No.
keys ctrl+q
box=$(window '^Datei: Beenden\.\.\.$'); [ -n "$box" ] || { echo "save question not found"; exit 1; }
xdotool windowfocus --sync "$box"; keys alt+n
for _ in $(seq 1 300); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
if kill -0 $pid 2>/dev/null; then echo "program still running"; exit 1; fi
wait $pid
trap - EXIT
