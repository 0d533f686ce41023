#!/usr/bin/env bash
# Runs inside an X server from the program's folder: the report job of report_pdf_test.sh.
# Usage: report_pdf_steps.sh <path to maengelliste> <PDF file to write>
set -euo pipefail
exe=$1
pdf=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
"$exe" & pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

main=$(window '^Quenbrik Mängelliste 1\.0 - mängel\.mal$')
[ -n "$main" ] || { echo "main window not found"; exit 1; }
xdotool windowfocus --sync "$main"

# Datei > Berichtsangaben..., each field reached by its label's letter.
keys alt+d r
box=$(window '^Berichtsangaben$'); [ -n "$box" ] || { echo "report details dialog not found"; exit 1; }
xdotool windowfocus --sync "$box"
keys alt+o; typed 'Grundschule am Park'
keys alt+a; typed 'Parkstraße 12'; keys Return; typed '12345 Musterstadt'
keys alt+g; typed 'Stadt Musterstadt, Hochbauamt'
keys alt+n; typed 'Bau GmbH'
keys alt+b; typed '01.12.2026'
keys alt+t; typed 'Frau Groß (Hochbauamt)'; keys Return; typed 'Herr Weiß (Bau GmbH)'
keys alt+p; typed 'Dipl.-Ing. Eva Roth'
keys alt+s; typed 'Wir bitten, die aufgeführten Mängel bis zum 15.01.2027 zu beseitigen.'
# From the last one-line field Return means OK.
keys alt+r Return
gone '^Berichtsangaben$'

# Datei > Als PDF speichern..., the file name typed into the save dialog.
xdotool windowfocus --sync "$main"
keys alt+d p
box=$(window '^(Speichern unter|Save As)$'); [ -n "$box" ] || { echo "save dialog not found"; exit 1; }
xdotool windowfocus --sync "$box"
keys ctrl+a; typed "$pdf"; keys Return
gone '^(Speichern unter|Save As)$'
for _ in $(seq 1 300); do [ -s "$pdf" ] && break; sleep 0.1; done

# Save the list (and the details beside it), then quit.
xdotool windowfocus --sync "$main"
keys ctrl+s
quit_without_saving $pid
trap - EXIT
