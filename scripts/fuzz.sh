#!/usr/bin/env bash
# Fuzzes the readers of files other programs write, with clang's libFuzzer under ASan and
# UBSan: builds the targets into build-fuzz/ (or $FUZZ_BUILD_DIR), writes their seeds with the
# helpers the tests build their files with, and runs each target for the given number of
# seconds (default 30), starting from its seeds, its kept regression inputs and what earlier
# runs found (build-fuzz/corpus/<target>).
#
# An input that makes a target fail is written to build-fuzz/crashes/<target>/. Mend the fault,
# then keep the input in fuzz/regressions/<target>/: the ordinary tests replay every file there.
set -euo pipefail
seconds="${1:-30}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
targets=(scheduler_log break_note cart_record ini registry date jet_file)

"$root/scripts/install-deps.sh"
if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DVANTOR_FUZZ=ON -DVANTOR_WERROR=OFF \
    -DVANTOR_BUILD_GUI=OFF -DVANTOR_BUILD_BENCH=OFF
fi
cmake --build "$build" -j"$(nproc)" --target fuzz_make_seeds "${targets[@]/#/fuzz_}"

seeds="$build/seeds"
rm -rf "$seeds"
"$build/fuzz/fuzz_make_seeds" "$seeds"

status=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  crashes="$build/crashes/$target"
  mkdir -p "$corpus" "$crashes"
  log="$build/fuzz_$target.log"
  echo "== fuzz_$target for $seconds s"
  if "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$crashes/" -print_final_stats=1 \
      "$corpus" "$seeds/$target" "$root/fuzz/regressions/$target" >"$log" 2>&1; then
    grep -E "^stat::number_of_executed_units|^#[0-9]+.*DONE" "$log" | tail -n 2 || true
  else
    echo "fuzz_$target FAILED: the input is in $crashes, the output in $log"
    tail -n 40 "$log"
    status=1
  fi
done
exit $status
