# Sourced by the steps scripts of the end-to-end tests: finding the program's windows by title and
# typing into them with xdotool. E2E_TYPE_DELAY: milliseconds between typed characters (60).

# The window whose title matches, once it is visible (polls up to 30 s). A search fails when a
# window it looks at goes away meanwhile, so a failed search is tried again.
window() {
  for _ in $(seq 1 300); do
    xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 | grep . && return 0
    sleep 0.1
  done
  return 0
}
# Waits until no visible window matches.
gone() {
  for _ in $(seq 1 300); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  echo "window still open: $1"; exit 1
}
keys() { xdotool key --clearmodifiers --delay 60 "$@"; }
typed() { xdotool type --delay "${E2E_TYPE_DELAY:-60}" "$1"; }
