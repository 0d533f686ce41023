#!/usr/bin/env bash
# Starts the real program under Xvfb, finds its window by its title and closes it through the
# save question (answered "Nein"). Usage: window_close_test.sh <path to maengelliste>
set -euo pipefail
exe=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$exe" "$work/maengelliste"
printf '1\r\nDach\r\n1\r\nRiss\r\nDach\r\n0\r\n' > "$work/mängel.mal"

cat > "$work/inner.sh" <<'INNER'
set -euo pipefail
cd "$1"
export QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$1/config"
./maengelliste & pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name 'Quenbrik Mängelliste 1.0 - mängel.mal' | head -n1)
[ -n "$wid" ] || { echo "main window not found"; kill $pid; exit 1; }
xdotool windowfocus --sync "$wid"
xdotool key --window "$wid" alt+d
sleep 0.5
xdotool key b
box=$(timeout 20 xdotool search --sync --onlyvisible --name 'Datei: Beenden...' | head -n1)
[ -n "$box" ] || { echo "save question not found"; kill $pid; exit 1; }
xdotool windowfocus --sync "$box"
xdotool key alt+n
for _ in $(seq 1 100); do
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
if kill -0 $pid 2>/dev/null; then echo "program still running"; kill $pid; exit 1; fi
wait $pid
echo "1 passed, 0 failed"
INNER
timeout 90 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$work/inner.sh" "$work"
