#!/usr/bin/env bash
# Pictures of every window of the program, one PNG each, taken on the demo installation under
# a virtual display (Xvfb), so that they can be looked at side by side.
#
#   scripts/screenshots.sh [OUTPUT_DIRECTORY]     (default: build/screenshots)
#
# Installs what is missing, builds the program and the picture taker, creates the demo
# installation under demo/ when there is none (as scripts/demo.sh does), and writes the
# pictures into the directory it names at the end.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
demo="${DEMO_DIR:-$root/demo}"
out="${1:-$build/screenshots}"

BUILD_DIR="$build" "$root/scripts/build.sh" vantor-logimport vantor-demo-installation \
  vantor-window-pictures

if [ ! -f "$demo/environment" ]; then
  echo "== Creating the demo installation in $demo"
  rm -rf "$demo"
  "$build/tests/vantor-demo-installation" "$demo" 7 > "$demo.environment.tmp"
  mv "$demo.environment.tmp" "$demo/environment"
fi
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
