#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need; with --packaging, also
# those that build and check the Debian package (scripts/package.sh). Safe to run again: it
# only calls apt-get when something is missing, and updates the package lists once then.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libsqlite3-dev sqlite3
  nlohmann-json3-dev  # the JSON form of the import preview
  mdbtools-dev libmdb3  # reading the databases of a Windows installation (shared library only)
  qt6-base-dev qt6-svg-dev libgl-dev
  googletest libgtest-dev libgmock-dev
  libbenchmark-dev
  # the manual page, and the install test's checks of the desktop entry and the systemd units
  help2man desktop-file-utils systemd
  clang libclang-rt-dev  # libFuzzer (libclang_rt.fuzzer) for scripts/fuzz.sh
  xvfb xauth
  # a station's database server: the client library, and the server the tests start themselves
  libpq-dev postgresql
  # the window tests and the pictures on a desktop: a real window manager, and Xlib with its
  # XTEST extension to read the stacking order and frames and to type as a keyboard does
  openbox libx11-dev libxtst-dev
  x11-utils  # xprop: scripts/screenshots.sh waits for the window manager with it
)
if [ "${1:-}" = "--packaging" ]; then
  packages+=(dpkg-dev lintian)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
