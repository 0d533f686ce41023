#!/usr/bin/env bash
# Starts the real program under Xvfb, finds its window by its title and closes it through the
# save question (answered "Nein"). The program lies, and starts, in a folder whose name is not UTF-8,
# and still opens the list file beside it. Usage: window_close_test.sh <path to maengelliste>
set -euo pipefail
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folder="$work/"$'Pr\xfcfung'
mkdir "$folder"
cp "$exe" "$folder/maengelliste"
printf '1\r\nDach\r\n1\r\nRiss\r\nDach\r\n0\r\n' > "$folder/mängel.mal"
cd "$folder"
XDG_CONFIG_HOME="$work/config" timeout 90 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  bash "$here/start_and_close.sh" "$folder/maengelliste"
echo "1 passed, 0 failed"
