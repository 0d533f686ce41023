#!/usr/bin/env bash
# Runs inside an X server from the program's folder: the keyboard-only job of keyboard_only_test.sh.
# Usage: keyboard_only_steps.sh <path to maengelliste> [burst]
# With "burst" the program is stopped while the keys up to the first question are typed, so that
# they reach it all at once, as keys typed while it is busy do.
set -euo pipefail
exe=$1
burst=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
"$exe" & pid=$!
trap 'kill -CONT $pid 2>/dev/null; kill $pid 2>/dev/null || true' EXIT

main=$(window '^Quenbrik Mängelliste 1\.0 - mängel\.mal$')
[ -n "$main" ] || { echo "main window not found"; exit 1; }
xdotool windowfocus --sync "$main"
[ -z "$burst" ] || kill -STOP $pid

# The page's tab bar is the first stop of the focus; Tab goes on to the assemblies' add button.
keys Tab space
typed 'Wand'; keys Return
# The new assembly is selected in the focused list: sort it (first press: name, descending).
keys ctrl+1
# The catalogue's add button files the new defect under the selected assembly.
keys Tab space
typed 'Schimmel'; keys Return
# On to the defect list's "take over from the catalogue" button: past the refresh button and the
# filtered view.
keys Tab Tab Tab space
# The copy opens for renaming.
keys ctrl+a
typed 'Schimmel innen'; keys Return
# Delete it (answer Ja), then undo the removal.
keys Delete
[ -z "$burst" ] || kill -CONT $pid
box=$(window '^Eintrag löschen$'); xdotool windowfocus --sync "$box"; keys Return
gone '^Eintrag löschen$'
xdotool windowfocus --sync "$main"
keys ctrl+z
# The left margin on the settings page, by its label's letter.
keys ctrl+Tab alt+l ctrl+a
typed '23'
keys ctrl+s
# Print: the dialog offers a PDF file in the home folder.
keys ctrl+p
box=$(window '^Drucken$'); [ -n "$box" ] || { echo "print dialog not found"; exit 1; }
xdotool windowfocus --sync "$box"; keys Return
gone '^Drucken$'
for _ in $(seq 1 300); do [ -s "$HOME/Mängelliste.pdf" ] && break; sleep 0.1; done
# The preview: the next page, a larger zoom, then Escape closes it.
xdotool windowfocus --sync "$main"
keys alt+d a
box=$(window '^Seitenansicht$'); [ -n "$box" ] || { echo "preview not found"; exit 1; }
xdotool windowfocus --sync "$box"; keys Next ctrl+plus Escape
gone '^Seitenansicht$'
# The guide opens and Escape closes it.
xdotool windowfocus --sync "$main"
keys F1
box=$(window '^Anleitung$'); [ -n "$box" ] || { echo "guide not found"; exit 1; }
xdotool windowfocus --sync "$box"; keys Escape
gone '^Anleitung$'
# Quit without saving again.
xdotool windowfocus --sync "$main"
quit_without_saving $pid
trap - EXIT
