#!/usr/bin/env bash
# Runs inside an X server from the program's folder: the keys of search_keyboard_test.sh.
# Usage: search_keyboard_steps.sh <path to maengelliste>
set -euo pipefail
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
"$exe" & pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
focused "$(main_title mängel.mal)" >/dev/null

# Return picks the only match and leaves the field's text selected, so the next one is typed over it.
keys ctrl+f
typed 'loch'; keys Return
typed 'tur'; keys Return
keys ctrl+s
quit_without_saving $pid
trap - EXIT
