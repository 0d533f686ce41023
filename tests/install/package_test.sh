#!/usr/bin/env bash
# Makes the Debian package from the built tree with cpack, checks its files, its control fields and
# lintian (no errors), installs it (with dpkg -i where the test runs as root, removing it afterwards;
# otherwise unpacked into a clean root), starts the installed program under Xvfb with a list file and
# sees the title name it, then starts it without one and sees the default list file appear in the
# user's data folder, copied from the package's starter file.
# Usage: package_test.sh <build dir> <source dir>
set -euo pipefail
build=$1
src=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for tool in cpack dpkg-deb lintian xvfb-run xdotool; do
  command -v $tool >/dev/null || { echo "FAIL: $tool is not installed (scripts/deps.sh installs it)"; exit 1; }
done

work=$(mktemp -d)
installed=""
cleanup() {
  if [ -n "$installed" ]; then
    dpkg --purge maengelliste >"$work/purge.log" 2>&1 || cat "$work/purge.log"
  fi
  rm -rf "$work"
}
trap cleanup EXIT
# Interrupted (Ctrl+C, a timeout's TERM, a closed terminal), the test still removes the package: the
# exit in the handler runs the EXIT trap.
for sig in INT TERM HUP; do
  trap "exit $((128 + $(kill -l $sig)))" $sig
done

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
deb="$work/out/maengelliste_$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "FAIL: no $deb; made: $(ls "$work/out")"; exit 1; }
echo "package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"

# Its files: the GNU layout below /usr, nothing else.
expected=$(
  {
    printf '%s\n' usr/bin/maengelliste usr/share/applications/maengelliste.desktop \
      usr/share/doc/maengelliste/Anleitung.md usr/share/doc/maengelliste/Anleitung.html usr/share/doc/maengelliste/changelog.gz \
      usr/share/doc/maengelliste/copyright usr/share/icons/hicolor/48x48/apps/maengelliste.png \
      usr/share/icons/hicolor/256x256/apps/maengelliste.png usr/share/icons/hicolor/scalable/apps/maengelliste.svg \
      usr/share/maengelliste/mängel.mal usr/share/man/man1/maengelliste.1.gz usr/share/mime/packages/maengelliste.xml
    for picture in "$src"/docs/screenshots/*.png; do echo "usr/share/doc/maengelliste/screenshots/$(basename "$picture")"; done
  } | sort
)
actual=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | sort)
[ "$actual" = "$expected" ] || fail "the package's files differ: $(diff <(echo "$expected") <(echo "$actual") | grep '^[<>]' | tr '\n' ' ')"
dpkg-deb --fsys-tarfile "$deb" | tar -tv | grep -v ' root/root ' && fail "files not owned by root"

# What dpkg-shlibdeps found, plus the SVG plugins; no maintainer scripts: the triggers of
# desktop-file-utils, shared-mime-info and hicolor-icon-theme update the caches.
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
for dependency in libqt6svg6 libqt6widgets6 libqt6gui6 libqt6core6 libqt6printsupport6 libc6 libstdc++6; do
  [[ ", $depends," == *", $dependency"[\ ,]* ]] || fail "Depends lacks $dependency"
done
dpkg-deb --control "$deb" "$work/control"
scripts=$(cd "$work/control" && ls | grep -v -x -e control -e md5sums || true)
[ -z "$scripts" ] || fail "the package runs something at install time: $scripts"
entry=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/applications/maengelliste.desktop)
grep -qx 'Exec=/usr/bin/maengelliste %f' <<<"$entry" || fail "the menu entry's Exec is $(grep '^Exec=' <<<"$entry")"

lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || fail "lintian reports errors"
grep -v '^running with root privileges' "$work/lintian.log" || true

# Install: for real where the test is root and no package of that name is installed already; the
# lock keeps two test runs on one machine from installing and removing it under each other.
exe=""
if [ "$(id -u)" -eq 0 ] && ! dpkg-query -W -f='${Status}' maengelliste 2>/dev/null | grep -q installed; then
  exec 9>"${TMPDIR:-/tmp}/maengelliste-package-test.lock"
  flock -w 300 9 || { echo "FAIL: another package test holds the lock"; exit 1; }
  installed=yes
  # An apt or dpkg run of someone else holds dpkg's own lock for a while: wait for it.
  for attempt in $(seq 1 60); do
    dpkg -i "$deb" >"$work/dpkg.log" 2>&1 && break
    grep -q 'lock' "$work/dpkg.log" && [ "$attempt" -lt 60 ] || { cat "$work/dpkg.log"; fail "dpkg -i failed"; exit 1; }
    sleep 2
  done
  exe=/usr/bin/maengelliste
  # The triggers brought the desktop's caches up to date.
  grep -q '^application/x-maengelliste=.*maengelliste.desktop' /usr/share/applications/mimeinfo.cache \
    || fail "the desktop's cache does not open list files with the program"
  [ -f /usr/share/mime/application/x-maengelliste.xml ] || fail "the MIME database does not know list files"
else
  dpkg-deb -x "$deb" "$work/root"
  exe="$work/root/usr/bin/maengelliste"
fi

home="$work/home"
mkdir -p "$home"
run() {
  (cd / && env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" \
    timeout 90 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$src/tests/e2e/start_and_close.sh" "$exe" "$@")
}
printf '1\r\nKeller\r\n0\r\n0\r\n' >"$work/DATEI.mal"
run DATEI.mal "$work/DATEI.mal" || fail "$exe did not open DATEI.mal"
list="$home/.local/share/maengelliste/mängel.mal"
run || fail "$exe did not open the default list file"
cmp -s "$list" "$src/data/mängel.mal" || fail "the default list file was not copied to $list"
[ -w "$list" ] || fail "$list is not writable"
[ ! -e "$(dirname "$exe")/mängel.mal" ] || fail "a list file appeared beside $exe"

if [ -n "$installed" ]; then
  dpkg --purge maengelliste >"$work/purge.log" 2>&1 || fail "dpkg --purge failed: $(cat "$work/purge.log")"
  installed=""
  [ ! -e /usr/bin/maengelliste ] || fail "/usr/bin/maengelliste is left after the removal"
fi

if [ $failures -ne 0 ]; then
  echo "$failures failed"
  exit 1
fi
echo "package test passed"
