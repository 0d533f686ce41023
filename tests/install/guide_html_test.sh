#!/usr/bin/env bash
# The guide's web page: made from a small guide, it keeps headings (with anchors and a table of
# contents linking them), tables with header cells and pictures with their descriptions.
# Usage: guide_html_test.sh <python3> <the script that makes the page>
set -euo pipefail
python=$1
script=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
cat > "$work/Anleitung.md" <<'MD'
# Mängelliste – Anleitung

Einleitung mit „Zeichen“ & mehr.

## Drucken

| Taste | Befehl |
|---|---|
| Strg+P | Drucken... |

![Die Seitenansicht](screenshots/seitenansicht.png)

### Berichtsangaben

Text.
MD
"$python" "$script" "$work/Anleitung.md" "$work/Anleitung.html"
page=$(cat "$work/Anleitung.html")
has() { grep -qF -- "$1" <<<"$page" || fail "no $1"; }
has '<html lang="de">'
has '<title>Mängelliste – Anleitung</title>'
has '<h2 id="drucken">Drucken</h2>'
has '<h3 id="berichtsangaben">Berichtsangaben</h3>'
has '<a href="#drucken">Drucken</a>'
has '<th>Taste</th>'
has '<td>Strg+P</td>'
has 'alt="Die Seitenansicht"'
has 'Einleitung mit „Zeichen“ &amp; mehr.'
[ ! -e "$work/Anleitung.html.tmp" ] || fail "a temporary file was left"
# A guide that cannot be read leaves no page behind.
if "$python" "$script" "$work/fehlt.md" "$work/fehlt.html" 2>/dev/null; then fail "a missing guide made a page"; fi
[ ! -e "$work/fehlt.html" ] || fail "a page from a missing guide"
echo "1 passed, 0 failed"
