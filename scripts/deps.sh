# Sourced by the scripts: installs the Debian packages the project needs when any is missing.
# Usage: mal_install_deps [extra packages...]

# What building and running the program need (scripts/run); python3-markdown makes the guide's web page.
MAL_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-translations-l10n libqt6svg6 libicu-dev fonts-liberation2 libfontconfig-dev
  python3-markdown
)

# What the tests, the benchmarks, fuzzing and packaging need besides: test frameworks, an X server and
# its tools for the end-to-end tests, a printer to print to, the spreadsheet the CSV files go through,
# the desktop's file-type tools the install tests run, and the package checker.
MAL_TEST_PACKAGES=(
  libgtest-dev libgmock-dev libbenchmark-dev clang
  xvfb xauth xdotool x11-xkb-utils imagemagick
  poppler-utils cups printer-driver-cups-pdf desktop-file-utils
  libreoffice-calc-nogui
  xdg-utils shared-mime-info libglib2.0-bin libfile-mimeinfo-perl
  file lintian
)

mal_install_deps() {
  local wanted=("${MAL_PACKAGES[@]}" "$@") missing=() p
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Configures and builds a tree: mal_build DIR [cmake options...]
# The options are applied again to a tree configured before (so that, say, -DMAL_WERROR=ON holds
# in a tree first configured by hand with the defaults).
# MAL_TARGET names one target to build instead of all.
mal_build() {
  local dir=$1; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$MAL_ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  elif [ $# -gt 0 ]; then
    cmake -S "$MAL_ROOT" -B "$dir" "$@" >/dev/null
  fi
  cmake --build "$dir" --parallel "$(nproc)" ${MAL_TARGET:+--target "$MAL_TARGET"}
}
