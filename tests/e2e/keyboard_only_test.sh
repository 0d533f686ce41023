#!/usr/bin/env bash
# The whole job by keyboard alone, in the real program under Xvfb: add an assembly and a defect, pick
# the defect into the defect list and rename it, sort, delete and undo, change a margin, save, print
# to a file, page and zoom in the preview, open and close the guide, quit. The saved list file, the settings and the printed PDF
# show that every step took effect.
# Usage: keyboard_only_test.sh <path to maengelliste> <path to the guide Anleitung.md> [burst]
# (burst: see keyboard_only_steps.sh)
set -euo pipefail
exe=$1
guide=$2
burst=${3:-}
. "$(dirname "$0")/workdir.sh"
cp "$guide" "$work/Anleitung.md"
printf '1\r\nDach\r\n1\r\nRiss\r\nDach\r\n0\r\n' > "$work/mängel.mal"
cd "$work"
HOME="$work" XDG_CONFIG_HOME="$work/config" timeout 240 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  bash ${E2E_TRACE:+-x} "$here/keyboard_only_steps.sh" "$work/maengelliste" $burst

fail() { echo "FAILED: $*"; exit 1; }
# The list file: assemblies sorted descending, the new defect in the catalogue and, renamed, in the
# defect list (its removal undone).
expected=$(printf '2\r\nWand\r\nDach\r\n2\r\nRiss\r\nDach\r\nSchimmel\r\nWand\r\n1\r\nSchimmel innen\r\nWand\r\n')
[ "$(cat mängel.mal)" = "$expected" ] || { od -c mängel.mal | head -20; fail "list file"; }
grep -q '^leftREd_Value=23$' config/maengelliste.ini || { cat config/maengelliste.ini; fail "margin"; }
[ -s Mängelliste.pdf ] || fail "no printout"
pdftotext Mängelliste.pdf - | grep -q 'Schimmel innen' || fail "printout lacks the defect"
echo "1 passed, 0 failed"
