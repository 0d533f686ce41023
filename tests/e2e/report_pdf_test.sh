#!/usr/bin/env bash
# A report from the real program under Xvfb: the details entered in the dialog "Berichtsangaben", the
# framed printout (firm and grouping from the settings) saved by "Als PDF speichern...", the list
# saved. The PDF's words (pdftotext -bbox) show the first page's block, the header's inspection date,
# the signatures on the last page, and that every word ends within the right margin; the details
# file stands beside the list file.
# Usage: report_pdf_test.sh <path to maengelliste> [folder to keep the PDF in]
set -euo pipefail
exe=$1
keep=${2:-}
. "$(dirname "$0")/workdir.sh"

# A list of 60 defects over five assemblies (Windows-1252), some names and one assembly long enough
# to need wrapping.
assemblies=("Dach" "Fassade" "Sanit\xe4rinstallation und Entw\xe4sserung der Kellergeschosse" "Fenster" "Innenausbau")
defects=("Riss im Putz" "Fehlende Abdichtung am Anschluss" "Farbabplatzungen"
         "Wasserschaden an der Unterseite der Dachkonstruktion im Bereich der Gaube mit Folgesch\xe4den am Innenputz"
         "Silikonfuge gerissen" "Schimmelbildung in der Ecke")
{
  printf '%s\r\n' 5
  for a in "${assemblies[@]}"; do printf "$a\r\n"; done
  printf '0\r\n60\r\n'
  for i in $(seq 0 59); do
    printf "${defects[$((i % 6))]} $((i + 1))\r\n${assemblies[$(((i * 7 / 3) % 5))]}\r\n"
  done
} > "$work/mängel.mal"
mkdir -p "$work/config"
printf '[TMainForm]\nSeitenkopfCheck_Checked=True\nGliedernCheck_Checked=True\nFirmaEd_Text=Ingenieurb\xc3\xbcro Roth & Partner\n' \
  > "$work/config/maengelliste.ini"
cd "$work"
HOME="$work" XDG_CONFIG_HOME="$work/config" timeout 240 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  bash ${E2E_TRACE:+-x} "$here/report_pdf_steps.sh" "$work/maengelliste" "$work/bericht.pdf"

fail() { echo "FAILED: $*"; exit 1; }
[ -s bericht.pdf ] || fail "no PDF"
[ -z "$keep" ] || cp bericht.pdf "$keep/"
grep -qx 'Objekt=Grundschule am Park' mängel.bericht || { cat mängel.bericht; fail "details file"; }
grep -qx 'Anschrift=Parkstraße 12\\n12345 Musterstadt' mängel.bericht || { cat mängel.bericht; fail "address"; }

# Words as "page xMin yMin xMax text"; A4 is 595.28 points wide, the right margin 15 mm (42.52 points).
pdftotext -bbox bericht.pdf words.html
awk '/<page /{p++} /<word /{match($0,/xMin="[^"]*"/); x0=substr($0,RSTART+6,RLENGTH-7);
     match($0,/yMin="[^"]*"/); y0=substr($0,RSTART+6,RLENGTH-7);
     match($0,/xMax="[^"]*"/); x1=substr($0,RSTART+6,RLENGTH-7);
     t=$0; sub(/.*">/,"",t); sub(/<\/word>.*/,"",t); print p, x0, y0, x1, t}' words.html > words.txt
pages=$(awk 'END{print $1}' words.txt)
wide=$(awk '$4 > 595.28 - 42.52 + 0.1' words.txt)
[ -z "$wide" ] || { echo "$wide"; fail "words beyond the right margin"; }
word() { awk -v p="$1" -v t="$2" '($1 == p || p == "") && $5 == t {print; exit}' words.txt; }
y() { word "$1" "$2" | awk '{print $3}'; }
[ -n "$(word 1 Grundschule)" ] || fail "Objekt on page 1"
[ -n "$(word 1 Musterstadt)" ] || fail "address on page 1"
[ -n "$(word 1 Roth)" ] || fail "Prüfer on page 1"
awk -v a="$(y 1 Ingenieurbüro)" -v b="$(y 1 Mängelliste)" 'BEGIN{exit !(a != "" && b != "" && a < b)}' ||
  fail "the firm stands above the title"
[ "$(awk -v n="$pages" '$1 == n && $5 == "Begehung:"' words.txt | wc -l)" -ge 1 ] || fail "inspection date in the header"
[ "$(awk -v n="$pages" '$1 == n && $5 == "Ort,"' words.txt | wc -l)" -eq 2 ] || fail "two signature lines on the last page"
[ -n "$(word "$pages" Auftragnehmer)" ] || fail "signature label"
[ -n "$(word "" 15.01.2027)" ] || fail "closing text"
# Grouped: the long assembly is a heading, each defect keeps its list number.
[ -n "$(word "" Kellergeschosse)" ] || fail "assembly heading"
echo "1 passed, 0 failed"
