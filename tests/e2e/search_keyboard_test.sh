#!/usr/bin/env bash
# Picking defects through the catalogue's search by keyboard alone, in the real program under Xvfb:
# Strg+F, a part of a name, Return, a part of the next (without its umlaut), Return, Strg+S. The
# saved list file holds the two picked defects in the defect list.
# Usage: search_keyboard_test.sh <path to maengelliste>
set -euo pipefail
exe=$1
. "$(dirname "$0")/workdir.sh"
# Windows-1252: \xfc is ü.
catalogue='2\r\nDach\r\nInnenausbau\r\n4\r\nRiss\r\nDach\r\nLoch\r\nDach\r\nT\xfcrblatt verzogen\r\nInnenausbau\r\nZiegel\r\nDach\r\n'
printf "${catalogue}0\r\n" > "$work/mängel.mal"
cd "$work"
HOME="$work" XDG_CONFIG_HOME="$work/config" timeout 240 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  bash ${E2E_TRACE:+-x} "$here/search_keyboard_steps.sh" "$work/maengelliste"

expected=$(printf "${catalogue}2\r\nLoch\r\nDach\r\nT\xfcrblatt verzogen\r\nInnenausbau\r\n")
[ "$(cat mängel.mal)" = "$expected" ] || { od -c mängel.mal | head -20; echo "FAILED: list file"; exit 1; }
echo "1 passed, 0 failed"
