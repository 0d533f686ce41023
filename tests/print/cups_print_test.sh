#!/usr/bin/env bash
# Prints a defect list through a real CUPS queue and checks the PDF that arrives.
#
# Starts a private cupsd (own configuration, spool and socket under a temporary folder), adds a
# cups-pdf queue, lets print_sample print to it by name, waits for the job and reads the PDF back.
#   cups_print_test.sh PRINT_SAMPLE
# Exit codes: 0 passed, 1 failed, 77 skipped (no cupsd, cups-pdf or root rights to configure them).
set -uo pipefail

SAMPLE=${1:?usage: cups_print_test.sh PRINT_SAMPLE}
ROWS=25
QUEUE="mal_test_$$"
PDF_CONF="/etc/cups/cups-pdf-$QUEUE.conf"
PPD=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd

skip() { echo "SKIPPED: $*"; exit 77; }
fail() {
  echo "FAILED: $*"
  if [ -n "${WORK:-}" ]; then
    for log in "$WORK"/log/*; do [ -s "$log" ] && { echo "--- $log"; tail -n 30 "$log"; }; done
  fi
  exit 1
}

command -v /usr/sbin/cupsd >/dev/null || skip "cupsd is not installed (apt-get install cups printer-driver-cups-pdf)"
[ -x /usr/lib/cups/backend/cups-pdf ] && [ -f "$PPD" ] || skip "cups-pdf is not installed (apt-get install printer-driver-cups-pdf)"
command -v pdftotext >/dev/null || skip "pdftotext is not installed (apt-get install poppler-utils)"
[ "$(id -u)" -eq 0 ] || skip "needs root to run cupsd and write $PDF_CONF"

WORK=$(mktemp -d /tmp/mal-cups.XXXXXX) || fail "no temporary folder"
CUPSD_PID=""
cleanup() {
  if [ -n "$CUPSD_PID" ] && kill -0 "$CUPSD_PID" 2>/dev/null; then
    kill "$CUPSD_PID" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$CUPSD_PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$CUPSD_PID" 2>/dev/null
  fi
  rm -f "$PDF_CONF"
  rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

chmod 755 "$WORK"
mkdir -p "$WORK/root" "$WORK/spool/tmp" "$WORK/cache" "$WORK/state" "$WORK/log" "$WORK/out" "$WORK/pdfspool"
chmod 1777 "$WORK/out" "$WORK/pdfspool"
export CUPS_SERVER="$WORK/cups.sock"

cat >"$WORK/cups-files.conf" <<CONF
SystemGroup root
ServerRoot $WORK/root
RequestRoot $WORK/spool
TempDir $WORK/spool/tmp
CacheDir $WORK/cache
StateDir $WORK/state
ErrorLog $WORK/log/error_log
AccessLog $WORK/log/access_log
PageLog $WORK/log/page_log
CONF
cat >"$WORK/cupsd.conf" <<CONF
Listen $CUPS_SERVER
LogLevel warn
Browsing No
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat >"$PDF_CONF" <<CONF
Out $WORK/out
Spool $WORK/pdfspool
AnonDirName $WORK/out
Log $WORK/log
LogType 3
CONF

/usr/sbin/cupsd -f -c "$WORK/cupsd.conf" -s "$WORK/cups-files.conf" >"$WORK/log/cupsd.out" 2>&1 &
CUPSD_PID=$!
for _ in $(seq 100); do
  timeout 5 lpstat -r 2>/dev/null | grep -q "is running" && break
  kill -0 "$CUPSD_PID" 2>/dev/null || break
  sleep 0.1
done
if ! timeout 5 lpstat -r 2>/dev/null | grep -q "is running"; then
  cat "$WORK/log/cupsd.out" "$WORK/log/error_log" 2>/dev/null | tail -n 20
  skip "cupsd could not be started"
fi

timeout 30 lpadmin -p "$QUEUE" -v "cups-pdf:/$QUEUE" -P "$PPD" \
  -o pdftops-renderer-default=pdftocairo -o printer-is-shared=false -E || fail "lpadmin could not add the queue"

# Prints print_sample's list to the queue with the given options; sets PDF to the file that arrives.
print_and_wait() {
  local before
  before=$(find "$WORK/out" -name '*.pdf' | wc -l)
  timeout 60 "$SAMPLE" --printer "$QUEUE" "$@" || fail "print_sample could not print to $QUEUE"
  PDF=""
  for _ in $(seq 120); do
    if [ -z "$(timeout 5 lpstat -o "$QUEUE" 2>/dev/null)" ] &&
       [ "$(find "$WORK/out" -name '*.pdf' -size +0 | wc -l)" -gt "$before" ]; then
      PDF=$(ls -t "$WORK"/out/*.pdf | head -n 1)
      break
    fi
    sleep 0.5
  done
  [ -n "$PDF" ] || fail "no PDF arrived in $WORK/out"
  sleep 0.5 # cups-pdf renames the finished file into place; let it settle
  PDF=$(ls -t "$WORK"/out/*.pdf | head -n 1)
}

print_and_wait --rows "$ROWS"
timeout 10 lpstat -W completed -o "$QUEUE" | grep -q "$QUEUE" || fail "the job is not listed as completed"

TEXT=$(timeout 30 pdftotext -layout "$PDF" -) || fail "pdftotext could not read $PDF"
missing=0
grep -q "^ *Mängelliste *$" <<<"$TEXT" || { echo "missing in the printout: the title"; missing=1; }
# Each row: the name, blanks, the assembly on one line of the layout text.
escape() { sed 's/[][\\.*^$/+?(){}|]/\\&/g' <<<"$1"; }
while IFS=$'\t' read -r name assembly; do
  grep -qE -- "(^| )$(escape "$name") +$(escape "$assembly")( |$)" <<<"$TEXT" || { echo "missing in the printout: $name | $assembly"; missing=1; }
done < <(QT_QPA_PLATFORM=offscreen "$SAMPLE" --list --rows "$ROWS")
[ "$missing" -eq 0 ] || { echo "--- printout:"; echo "$TEXT"; fail "the printout lacks rows"; }
echo "PASSED: $(basename "$PDF") holds the title and all $ROWS rows"

# The queue's printable area is the whole A4 sheet (the PPD's ImageableArea is "0 0 595 842"): with
# all margins 0 the title starts at the sheet's corner and the rows fill the sheet's full height.
print_and_wait --rows 90 --margins 0
BBOX=$(timeout 30 pdftotext -bbox "$PDF" -) || fail "pdftotext could not read $PDF"
# page, x and top of every word; the title is the first word.
WORDS=$(awk '/<page /{page++} /<word /{
    match($0, /xMin="[0-9.]+"/); x = substr($0, RSTART + 6, RLENGTH - 7)
    match($0, /yMin="[0-9.]+"/); y = substr($0, RSTART + 6, RLENGTH - 7)
    print page, x, y }' <<<"$BBOX")
read -r _ TITLE_X TITLE_Y <<<"$(head -n 1 <<<"$WORDS")"
# Glyph boxes after the queue's conversion start up to a fifth of the 11 pt size below the line's top.
awk -v x="$TITLE_X" -v y="$TITLE_Y" 'BEGIN { exit !(x < 0.2 && y >= 0 && y < 2.5) }' ||
  fail "the title starts at ($TITLE_X pt, $TITLE_Y pt) instead of the sheet's corner"
# Rows: the words that start a line, after the title. Row i fills the lines 2 + i to 3 + i of its page.
CHECK=$(tail -n +2 <<<"$WORDS" | awk -v left="$TITLE_X" '$2 < left + 1 ' | awk '
  NR == 1 { first = $3 } NR == 2 { line = $3 - first }
  $1 == 1 { onFirst++ }
  END { expected = int(842 / line) - 2; print onFirst, expected, line }')
read -r ON_FIRST EXPECTED LINE <<<"$CHECK"
[ "$ON_FIRST" = "$EXPECTED" ] ||
  fail "the first page holds $ON_FIRST rows of $LINE pt, the sheet's height gives $EXPECTED"
echo "PASSED: with margins 0 the title is at ($TITLE_X pt, $TITLE_Y pt) and the first page holds $ON_FIRST rows"

# Pages chosen in the print dialog: the printout picks them itself and the queue must not pick a
# second time (a CUPS page range left on the printer would drop the job's only page).
print_and_wait --rows 120 --frame Seitenwahl --dialog-pages 2-2
PAGES=$(timeout 30 pdfinfo "$PDF" | awk '/^Pages:/ { print $2 }')
TEXT=$(timeout 30 pdftotext -layout "$PDF" -) || fail "pdftotext could not read $PDF"
[ "$PAGES" = 1 ] || fail "pages 2 to 2 gave $PAGES pages"
grep -qE "Seite 2 von [3-9]" <<<"$TEXT" || { echo "$TEXT"; fail "the page is not the second of the printout"; }
! grep -q "Mängelliste" <<<"$TEXT" || fail "the first page's title was printed"
echo "PASSED: the page range 2-2 gave page 2 alone, numbered as in the whole printout"
