#!/usr/bin/env bash
# Pictures of every window of the program, one PNG each, taken on the demo installation under
# a virtual display (Xvfb) with a real window manager (openbox), so that they can be looked at
# side by side as a desk shows them: with their frames and title bars.
#
#   scripts/screenshots.sh [OUTPUT_DIRECTORY]     (default: build/screenshots)
#
# Installs what is missing, builds the program and the picture takers, creates a fresh demo
# installation (as scripts/demo.sh does, in a temporary directory, so that every run pictures
# the same first import), and writes the pictures into the directory it names at the end.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
out="${1:-$build/screenshots}"

# The picture takers are no part of the product (two draw on the test fixtures' made-up
# installations) and are defined with the tests: a build tree configured without the tests
# gets them switched on.
if [ -f "$build/CMakeCache.txt" ] && grep -q '^VANTOR_BUILD_TESTS:BOOL=OFF' "$build/CMakeCache.txt"; then
  echo "== Switching the tests on in $build (the picture takers are built with them)"
  cmake -S "$root" -B "$build" -DVANTOR_BUILD_TESTS=ON
fi
takers=(vantor-window-pictures vantor-settings-window-pictures vantor-chooser-login-pictures
  vantor-settings-editor-screenshots)
BUILD_DIR="$build" "$root/scripts/build.sh" vantor-logimport vantor-demo-installation "${takers[@]}"

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
# Each taker writes its own windows' pictures (their names do not overlap) into the one
# directory; the ones that need an installation of their own make it in a temporary directory.
# On the display: openbox first, the taker once the window manager has announced itself (its
# check window named on the root window), openbox stopped afterwards.
with_window_manager='
  openbox --sm-disable & wm=$!
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
  done
  if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
    echo "the window manager (openbox) did not start" >&2; kill $wm; exit 1
  fi
  "$@"; status=$?
  kill $wm; wait $wm 2>/dev/null
  exit $status'
failed=()
for taker in "${takers[@]}"; do
  program="$(find "$build/src/app" "$build/tests" -maxdepth 1 -type f -name "$taker" -print -quit)"
  echo "-- $taker"
  if ! xvfb-run -a -s "-screen 0 1280x900x24" bash -c "$with_window_manager" bash "$program" "$out"; then
    failed+=("$taker")
  fi
done
echo "== Pictures in $out"
if [ ${#failed[@]} -gt 0 ]; then
  echo "Some pictures were not taken: ${failed[*]} failed" >&2
  exit 1
fi
