#!/usr/bin/env bash
# Installs the built tree into a temporary program folder (whose path holds a blank and an umlaut)
# and a temporary desktop data folder, starts the installed program under Xvfb from another working
# directory, finds its window by the title naming the installed "mängel.mal" and closes it; then
# changes that list file, installs again and checks that the change is kept; checks the menu entry,
# the type of list files, the icons and the command linked beside the data folder; finally installs
# as a user would, into ~/.local/opt with ~/.local/bin on the PATH, and opens a list file through
# xdg-open with no desktop detected.
# Usage: install_test.sh <build dir> <source dir>
set -euo pipefail
build=$1
src=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A desktop folder fixed in the build's cache would receive the test's menu entry: leave that alone.
if grep -q '^MAL_DESKTOP_DATA_DIR:PATH=.\+' "$build/CMakeCache.txt"; then
  echo "skipped: MAL_DESKTOP_DATA_DIR is set in $build, the test would install into it"
  exit 77
fi
if ! grep -q '^MAL_INSTALL_LAYOUT:STRING=folder$' "$build/CMakeCache.txt"; then
  echo "skipped: $build installs for all users (MAL_INSTALL_LAYOUT); the package test covers that"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/Programme/Mängel liste"
share="$work/share"
mkdir -p "$work/home"

install_once() {
  HOME="$work/home" XDG_DATA_HOME="$share" cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 \
    || { cat "$work/install.log"; exit 1; }
}

install_once
# The command is linked into the bin folder beside the data folder, which is not on this PATH.
[ "$(readlink "$work/bin/maengelliste")" = "$prefix/maengelliste" ] || fail "no link $work/bin/maengelliste to the program"
grep -q "$work/bin is not on your PATH" "$work/install.log" || fail "the install did not say that $work/bin is not on the PATH"
[ -x "$prefix/maengelliste" ] || fail "no executable in the program folder"
cmp -s "$prefix/mängel.mal" "$src/data/mängel.mal" || fail "the starter list file was not installed"
[ -w "$prefix/mängel.mal" ] || fail "the installed list file is not writable"
[ -f "$prefix/Anleitung.md" ] || fail "the user guide was not installed"
grep -q '<h2 id="drucken">Drucken</h2>' "$prefix/Anleitung.html" || fail "the guide's web page was not installed"
for picture in "$src"/docs/screenshots/*.png; do
  cmp -s "$picture" "$prefix/screenshots/$(basename "$picture")" || fail "the guide's picture $(basename "$picture") was not installed"
done
# Everything else the program needs is in the executable: the folder holds nothing more.
extra=$(find "$prefix" -mindepth 1 ! -name maengelliste ! -name 'mängel.mal' ! -name Anleitung.md ! -name Anleitung.html ! -path "$prefix/screenshots" ! -path "$prefix/screenshots/*.png")
[ -z "$extra" ] || fail "unexpected files in the program folder: $extra"

# Start the installed program from elsewhere: it must open the list file beside itself.
(cd / && XDG_CONFIG_HOME="$work/config" HOME="$work/home" \
  timeout 90 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$src/tests/e2e/start_and_close.sh" "$prefix/maengelliste") \
  || fail "the installed program did not start and close as expected"

# A list file named on the command line is opened instead.
printf '1\r\nKeller\r\n0\r\n0\r\n' > "$work/Begehung.mal"
(cd / && XDG_CONFIG_HOME="$work/config" HOME="$work/home" \
  timeout 90 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$src/tests/e2e/start_and_close.sh" "$prefix/maengelliste" Begehung.mal "$work/Begehung.mal") \
  || fail "the installed program did not open the list file named on its command line"

# The user's catalogue survives a second install.
printf '1\r\nKeller\r\n1\r\nFeuchte Wand\r\nKeller\r\n0\r\n' > "$prefix/mängel.mal"
cp "$prefix/mängel.mal" "$work/changed.mal"
install_once
cmp -s "$prefix/mängel.mal" "$work/changed.mal" || fail "the second install replaced the changed list file"
grep -q 'Kept: .*mängel.mal' "$work/install.log" || fail "the second install did not say that it kept the list file"

# The menu entry starts the installed executable and names the icon.
entry="$share/applications/maengelliste.desktop"
if [ -f "$entry" ]; then
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "desktop-file-validate rejects the menu entry"
  else
    echo "note: desktop-file-validate is not installed; the entry is checked by its keys only"
  fi
  key() { sed -n "s/^$1=//p" "$entry"; }
  [ "$(key Exec)" = "\"$prefix/maengelliste\" %f" ] || fail "Exec is '$(key Exec)'"
  [ "$(key MimeType)" = "application/x-maengelliste;" ] || fail "MimeType is '$(key MimeType)'"
  [ "$(key TryExec)" = "$prefix/maengelliste" ] || fail "TryExec is '$(key TryExec)'"
  [ "$(key Name)" = "Mängelliste" ] || fail "Name is '$(key Name)'"
  [ "$(key Icon)" = "maengelliste" ] || fail "Icon is '$(key Icon)'"
  [ "$(key Type)" = "Application" ] || fail "Type is '$(key Type)'"
  key Categories | grep -q '^Office;' || fail "Categories is '$(key Categories)'"
  [ -n "$(key Comment)" ] || fail "no Comment"
else
  fail "no menu entry at $entry"
fi

# List files have a type of their own, named "Mängelliste", and the menu entry opens them. The
# desktop is named so that xdg-mime asks the shared MIME database (through gio) about a file's type
# instead of file(1), which knows nothing of *.mal.
mime="$share/mime/packages/maengelliste.xml"
grep -q '<comment>Mängelliste</comment>' "$mime" 2>/dev/null || fail "no MIME type with the comment Mängelliste at $mime"
query() { HOME="$work/home" XDG_DATA_HOME="$share" XDG_CONFIG_HOME="$work/config" XDG_CURRENT_DESKTOP=GNOME xdg-mime query "$@"; }
if command -v xdg-mime >/dev/null; then
  type=$(query filetype "$work/Begehung.mal" || true)
  [ "$type" = "application/x-maengelliste" ] || fail "xdg-mime gives the list file the type '$type'"
  app=$(query default application/x-maengelliste || true)
  [ "$app" = "maengelliste.desktop" ] || fail "xdg-mime opens list files with '$app'"
else
  fail "xdg-mime is not installed (scripts/deps.sh installs xdg-utils)"
fi

icons="$share/icons/hicolor"
grep -q '<svg' "$icons/scalable/apps/maengelliste.svg" 2>/dev/null || fail "no scalable icon"
for size in 48 256; do
  png="$icons/${size}x${size}/apps/maengelliste.png"
  if [ ! -f "$png" ]; then
    fail "no ${size}x${size} icon"
  elif [ "$(identify -format '%m %wx%h' "$png")" != "PNG ${size}x${size}" ]; then
    fail "$png is $(identify -format '%m %wx%h' "$png")"
  fi
done

# Without the desktop's cache tools the install says which packages bring them.
bare="$work/bare"
mkdir -p "$bare/home"
HOME="$bare/home" XDG_DATA_HOME="$bare/share" PATH="$bare/no-tools" "$(command -v cmake)" --install "$build" \
  --prefix "$bare/opt" >"$bare/install.log" 2>&1 || { cat "$bare/install.log"; exit 1; }
for tool in "update-mime-database shared-mime-info" "update-desktop-database desktop-file-utils"; do
  set -- $tool
  grep -q "$1 was not found.*install the package $2" <(tr '\n' ' ' <"$bare/install.log") \
    || fail "the install without $1 does not name the package $2"
done

# Installed as the README says, into ~/.local/opt (a path the menu entry need not quote), with
# ~/.local/bin on the PATH: the command is found, and with no desktop detected xdg-open's generic
# fallback opens a list file with the program through the menu entry.
home="$work/user"
opt="$home/.local/opt/maengelliste"
mkdir -p "$home"
user_env=(env -u XDG_DATA_HOME -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u XDG_DATA_DIRS -u XDG_CONFIG_DIRS
  HOME="$home" XDG_CONFIG_HOME="$home/.config" PATH="$home/.local/bin:$PATH")
"${user_env[@]}" cmake --install "$build" --prefix "$opt" >"$work/user.log" 2>&1 || { cat "$work/user.log"; exit 1; }
grep -q 'not on your PATH' "$work/user.log" && fail "the install says ~/.local/bin is not on the PATH, which holds it"
[ "$("${user_env[@]}" bash -c 'command -v maengelliste')" = "$home/.local/bin/maengelliste" ] \
  || fail "maengelliste is not found on the PATH"
exec_key=$(sed -n 's/^Exec=//p' "$home/.local/share/applications/maengelliste.desktop")
[ "$exec_key" = "$opt/maengelliste %f" ] || fail "Exec of a path without blanks is '$exec_key'"
app=$("${user_env[@]}" xdg-mime query default application/x-maengelliste || true)
[ "$app" = "maengelliste.desktop" ] || fail "xdg-mime (no desktop) opens list files with '$app'"
(cd "$work" && "${user_env[@]}" timeout 90 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  bash "$src/tests/e2e/start_and_close.sh" xdg-open Begehung.mal "$work/Begehung.mal") \
  || fail "xdg-open did not start the program with the list file"

if [ $failures -ne 0 ]; then
  echo "$failures failed"
  exit 1
fi
echo "install test passed"
