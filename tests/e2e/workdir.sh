# Sourced by the end-to-end tests (outside the X server), once exe holds the program's path: $here is
# this folder, $work a fresh working folder holding a copy of the program, removed at the end.
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$exe" "$work/maengelliste"
