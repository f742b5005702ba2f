#!/usr/bin/env bash
# The test command: installs what is missing, builds, and runs every test (the windows off
# screen); then runs the windows on a virtual desktop with a real window manager (Xvfb and
# openbox); then builds the same tests, the windows' included, with AddressSanitizer and
# UndefinedBehaviorSanitizer (float-cast-overflow included) in build-sanitize/ and runs them
# there; then runs every fuzz target (scripts/fuzz.sh, 30 seconds each unless FUZZ_SECONDS says
# otherwise; FUZZ_SECONDS=0 leaves fuzzing out).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
sanitize="${SANITIZE_BUILD_DIR:-$root/build-sanitize}"
jobs="$(nproc)"

echo "== Tests"
BUILD_DIR="$build" "$root/scripts/build.sh"
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs" -LE window-manager)

echo "== Tests on a desktop with a window manager (Xvfb and openbox)"
# What the offscreen platform cannot show: the stacking order, the active window and the frames
# the window manager puts around the windows. Each test program starts its own display and
# window manager and fails when it cannot; one at a time, as a person at a desk works.
(cd "$build" && ctest --output-on-failure --no-tests=error -L window-manager)

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer ($sanitize)"
# The windows are built and tested here too (off screen), so that a window deleted twice or a
# leak of the windows is caught; the desktop tests stay in the stage above, and the benchmarks
# are left out: they measure speed, which the sanitizers change. Warnings stay warnings here:
# the instrumentation makes gcc's flow analysis report false truncations the ordinary build,
# which treats warnings as errors, does not. Configured each time, so that a tree made before
# the windows joined gets them.
cmake -S "$root" -B "$sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DVANTOR_SANITIZE=ON -DVANTOR_WERROR=OFF \
  -DVANTOR_BUILD_GUI=ON -DVANTOR_BUILD_BENCH=OFF
cmake --build "$sanitize" -j"$jobs"
(cd "$sanitize" &&
  QT_QPA_PLATFORM=offscreen \
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure -j"$jobs" -LE window-manager)

seconds="${FUZZ_SECONDS:-30}"
if [ "$seconds" != "0" ]; then
  echo "== Fuzz targets, ${seconds} s each"
  "$root/scripts/fuzz.sh" "$seconds"
fi
