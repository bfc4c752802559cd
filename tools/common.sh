# Shared helpers for the build scripts: sourced, not run.
set -euo pipefail

VANTOREL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Installs the Debian packages given as arguments that are not installed yet.
ensure_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing Debian packages: ${missing[*]}" >&2
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

BUILD_PACKAGES=(g++ cmake ninja-build libgtest-dev libcli11-dev)
# The window program: wxWidgets (GTK 3), GIO for the desktop's text editor, rsvg-convert for the
# installed icons.
GUI_BUILD_PACKAGES=(libwxgtk3.2-dev libglib2.0-dev pkg-config librsvg2-bin)
# The install and Debian package tests: the desktop entry's validator, and dpkg-shlibdeps, which
# names the package's dependencies (and runs file on the programs).
PACKAGING_TEST_PACKAGES=(desktop-file-utils dpkg-dev file)
# Real JavaScript for the invariant tests comes from Debian packages, never from the repo.
CORPUS_PACKAGES=(libjs-jquery libjs-underscore)
# The equivalence tests parse input and output with acorn, over more of Debian's libraries.
EQUIVALENCE_PACKAGES=(nodejs node-acorn libjs-jquery-ui libjs-prototype libjs-codemirror
                      libjs-chart.js node-lodash)
# A virtual display for the window program's tests.
GUI_TEST_PACKAGES=(xvfb xauth)

# Configures (once) and builds the tree in $1 with the extra CMake arguments that follow.
build_tree() {
  local dir=$1
  shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$VANTOREL_ROOT" -B "$dir" -G Ninja "$@" >&2
  fi
  cmake --build "$dir" >&2
}
