#!/usr/bin/env bash
# Pictures of every window of the program, one PNG each, taken on the demo installation under
# a virtual display (Xvfb), so that they can be looked at side by side.
#
#   scripts/screenshots.sh [OUTPUT_DIRECTORY]     (default: build/screenshots)
#
# Installs what is missing, builds the program and the picture taker, creates a fresh demo
# installation (as scripts/demo.sh does, in a temporary directory, so that every run pictures
# the same first import), and writes the pictures into the directory it names at the end.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
out="${1:-$build/screenshots}"

BUILD_DIR="$build" "$root/scripts/build.sh" vantor-logimport vantor-demo-installation \
  vantor-window-pictures

demo="$(mktemp -d)"
trap 'rm -rf "$demo"' EXIT
echo "== Creating the demo installation in $demo"
"$build/src/app/vantor-demo-installation" "$demo/station" 3 > "$demo/environment"
set -a
# shellcheck disable=SC1091
. "$demo/environment"
set +a

mkdir -p "$out"
rm -f "$out"/*.png
echo "== Taking the pictures under Xvfb"
# The pictures are taken on the virtual display, never on the desktop the script runs from.
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1280x900x24" "$build/src/app/vantor-window-pictures" "$out"
echo "== Pictures in $out"
