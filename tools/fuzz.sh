#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) in a build directory of their own, and runs
# each on its seed corpus for a given time.
#   bash tools/fuzz.sh [seconds-per-target] [target ...]
# Targets are the names of tests/fuzz/<name>_fuzz.cpp (all when none given).
# Inputs a run finds go to <build>/corpus/<name>, never into the committed
# seeds; a crashing input is saved as <build>/artifacts/<name>-crash-*.
# Exits non-zero when any target found a fault.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${TESSIVO_FUZZ_BUILD_DIR:-$here/build-fuzz}"
seconds="${1:-30}"
[ $# -gt 0 ] && shift

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for src in "$here"/tests/fuzz/*_fuzz.cpp; do
    name="$(basename "$src")"
    targets+=("${name%_fuzz.cpp}")
  done
fi

cmake -S "$here" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DTESSIVO_FUZZ=ON -DTESSIVO_TESTS=OFF -DTESSIVO_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

# A small quarantine keeps the resident memory of a long run low.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:quarantine_size_mb=16}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$here/tools/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
export QT_QPA_PLATFORM=offscreen
failed=()
summary=()
mkdir -p "$build_dir/artifacts"
for name in "${targets[@]}"; do
  corpus="$build_dir/corpus/$name"
  seeds="$here/tests/fuzz/corpus/$name"
  mkdir -p "$corpus" "$seeds"
  log="$build_dir/fuzz_$name.log"
  echo "== fuzz_$name: ${seconds}s"
  status=0
  "$build_dir/tests/fuzz/fuzz_$name" "$corpus" "$seeds" \
    -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20 -print_final_stats=1 \
    -artifact_prefix="$build_dir/artifacts/$name-" >"$log" 2>&1 || status=$?
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  rss="$(sed -n 's/^stat::peak_rss_mb: *//p' "$log" | tail -1)"
  if [ "$status" -ne 0 ]; then
    failed+=("$name")
    summary+=("fuzz_$name: FAULT after ${runs:-?} runs (see $log)")
    grep -E "ERROR|check failed|runtime error|SUMMARY" "$log" | head -20 || true
  else
    summary+=("fuzz_$name: ${runs:-?} runs, peak ${rss:-?} MB, no fault")
  fi
done
printf '%s\n' "${summary[@]}"
[ ${#failed[@]} -eq 0 ]
