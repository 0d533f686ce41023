#!/usr/bin/env bash
# The next building by keyboard alone, in the real program under Xvfb: the first building's file is
# named on the command line; "Neue Liste mit Katalog" keeps its catalogue, a search and Return pick
# a defect, Strg+S asks for the new building's name, and "Zuletzt geöffnet" leads back to the first
# building. The files and the settings show that every step took effect.
# Usage: next_building_test.sh <path to maengelliste>
set -euo pipefail
exe=$1
. "$(dirname "$0")/workdir.sh"
first=$(printf '2\r\nDach\r\nWand\r\n2\r\nRiss\r\nDach\r\nSchimmel\r\nWand\r\n1\r\nRiss\r\nDach\r\n')
printf '%s' "$first" > "$work/Haus1.mal"
cd "$work"
HOME="$work" XDG_CONFIG_HOME="$work/config" timeout 240 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  bash ${E2E_TRACE:+-x} "$here/next_building_steps.sh" "$work/maengelliste" "$work"

fail() { echo "FAILED: $*"; exit 1; }
[ "$(cat Haus1.mal)" = "$first" ] || { od -c Haus1.mal | head; fail "the first building's file changed"; }
expected=$(printf '2\r\nDach\r\nWand\r\n2\r\nRiss\r\nDach\r\nSchimmel\r\nWand\r\n1\r\nSchimmel\r\nWand\r\n')
[ "$(cat Haus2.mal)" = "$expected" ] || { od -c Haus2.mal | head -20; fail "the second building's file"; }
grep -qx "Datei1=$work/Haus1.mal" config/maengelliste.ini &&
  grep -qx "Datei2=$work/Haus2.mal" config/maengelliste.ini || { cat config/maengelliste.ini; fail "recent files"; }
echo "1 passed, 0 failed"
