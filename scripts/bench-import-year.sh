#!/usr/bin/env bash
# Runs bench_import_year on database files and on a database server, one run giving both ratios.
# The server is the one VANTOR_DB_SERVER names, or else a throwaway one started here (as the
# tests start theirs: 127.0.0.1, fsync off) and removed afterwards. Arguments go to the
# benchmark (--days=30, --benchmark_repetitions=3). BENCH_BUILD_DIR names the build tree
# (build-release by default, else build).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BENCH_BUILD_DIR:-}"
if [ -z "$build" ]; then
  build="$root/build-release"
  [ -x "$build/bench/bench_import_year" ] || build="$root/build"
fi
bench="$build/bench/bench_import_year"
if [ ! -x "$bench" ]; then
  echo "bench-import-year: $bench is not built (cmake --build $build --target bench_import_year)" >&2
  exit 1
fi
if [ -z "${VANTOR_DB_SERVER:-}" ]; then
  server="$(mktemp -d "${TMPDIR:-/tmp}/vantor-bench.XXXXXX")/server"
  trap '"$root/scripts/pg-test-server.sh" stop "$server"; rmdir "$(dirname "$server")" 2>/dev/null || true' EXIT
  "$root/scripts/pg-test-server.sh" start "$server" >/dev/null
  VANTOR_DB_SERVER="$(cat "$server/conninfo")"
  export VANTOR_DB_SERVER
fi
"$bench" "$@"
