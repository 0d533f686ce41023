#!/usr/bin/env bash
# Runs inside an X server: the job of next_building_test.sh.
# Usage: next_building_steps.sh <path to maengelliste> <folder of the list files>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
exe=$1
dir=$2
"$exe" "$dir/Haus1.mal" & pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
focused "$(main_title Haus1.mal)" >/dev/null

# Datei > Neue Liste mit Katalog, after the save question.
keys alt+d l
focused '^Datei: Neu\.\.\.$' >/dev/null; keys alt+n
focused "$(main_title 'Kein Name')" >/dev/null
# Search for the defect and pick it with Return.
keys ctrl+f; typed 'schimmel'; keys Return
# The first save asks for a name.
keys ctrl+s
focused '^(Speichern unter|Save As)$' >/dev/null
keys ctrl+a; typed "$dir/Haus2.mal"; keys Return
gone '^(Speichern unter|Save As)$'
focused "$(main_title Haus2.mal)" >/dev/null
# Datei > Zuletzt geöffnet: the second entry is the first building.
keys alt+d z 2
focused '^Datei: Öffnen\.\.\.$' >/dev/null; keys alt+n
focused "$(main_title Haus1.mal)" >/dev/null
quit_without_saving $pid
trap - EXIT
