#!/usr/bin/env bash
# Configures and builds everything into build/ (or $BUILD_DIR); with target names, only those.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
if [ $# -gt 0 ]; then
  cmake --build "$build" -j"$(nproc)" --target "$@"
else
  cmake --build "$build" -j"$(nproc)"
fi
