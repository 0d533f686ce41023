#!/usr/bin/env bash
# Runs inside an X server from the program's folder: the steps of recovery_test.sh.
# Usage: recovery_steps.sh <path to maengelliste> ja|nein
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
exe=$1
answer=$2
copies() { ls "$XDG_STATE_HOME"/maengelliste/sitzung-*.kopie 2>/dev/null || true; }

"$exe" & pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
focused "$(main_title mängel.mal)" >/dev/null
# A new assembly: the assemblies' add button is the second stop of the focus.
keys Tab space
typed 'Wand'; keys Return
for _ in $(seq 1 300); do [ -n "$(copies)" ] && grep -qa Wand $(copies) && break; sleep 0.1; done
[ -n "$(copies)" ] || { echo "no recovery copy was written"; exit 1; }
kill -9 $pid; wait $pid 2>/dev/null || true

"$exe" & pid=$!
focused '^Wiederherstellen$' >/dev/null
if [ "$answer" = ja ]; then keys Return; else keys alt+n; fi
gone '^Wiederherstellen$'
focused "$(main_title mängel.mal)" >/dev/null
[ "$answer" != ja ] || keys ctrl+s
quit_without_saving $pid
trap - EXIT
