#!/usr/bin/env bash
# The recovery copy in the real program under Xvfb: a change, the copy written, the program killed;
# at the next start "Ja" brings the change back and Strg+S saves it, or "Nein" leaves the file as it
# was and puts the copy into "verworfen".
# Usage: recovery_test.sh <path to maengelliste> ja|nein
set -euo pipefail
exe=$1
answer=$2
. "$(dirname "$0")/workdir.sh"
original=$(printf '1\r\nDach\r\n1\r\nRiss\r\nDach\r\n0\r\n')
printf '%s' "$original" > "$work/mängel.mal"
cd "$work"
HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" timeout 240 \
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  bash ${E2E_TRACE:+-x} "$here/recovery_steps.sh" "$work/maengelliste" "$answer"

fail() { echo "FAILED: $*"; exit 1; }
folder=state/maengelliste
if [ "$answer" = ja ]; then
  expected=$(printf '2\r\nDach\r\nWand\r\n1\r\nRiss\r\nDach\r\n0\r\n')
  [ "$(cat mängel.mal)" = "$expected" ] || { od -c mängel.mal | head -20; fail "the list file lacks the change"; }
  [ -z "$(ls -A "$folder" | grep -v '^verworfen$' || true)" ] || { ls -la "$folder"; fail "a copy or lock was left"; }
else
  [ "$(cat mängel.mal)" = "$original" ] || { od -c mängel.mal | head -20; fail "the list file was changed"; }
  ls "$folder"/verworfen/sitzung-*.kopie >/dev/null 2>&1 || { ls -laR "$folder"; fail "no copy in verworfen"; }
  grep -qa 'Wand' "$folder"/verworfen/sitzung-*.kopie || fail "the discarded copy lacks the change"
fi
echo "1 passed, 0 failed"
