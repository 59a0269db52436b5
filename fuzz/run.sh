#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UBSan) and fuzzes each.
#
#   fuzz/run.sh BUILD_DIR SECONDS [TARGET...]     every target (or the ones named) for SECONDS
#   FUZZ_RUNS=N fuzz/run.sh BUILD_DIR SECONDS     stop each at N executions or SECONDS
#
# Each target starts from its seed corpus (fuzz/corpus/<target>/, only read) and keeps
# what it finds in BUILD_DIR/work/<target>/; a crash is written to BUILD_DIR/findings/ and
# ends the run with exit code 1. The last line per target gives executions and seconds.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
build=${1:?build folder}
seconds=${2:?seconds per target}
shift 2
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$repo}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DKALVO_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$build" --target fuzz-targets -j "$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in "$here"/targets/*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$build/findings"
status=0
for target in "${targets[@]}"; do
  mkdir -p "$build/work/$target"
  log=$build/work/$target.log
  if "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -runs="${FUZZ_RUNS:--1}" -rss_limit_mb=4096 \
    -timeout=20 -artifact_prefix="$build/findings/$target-" -print_final_stats=1 \
    "$build/work/$target" "$here/corpus/$target" >"$log" 2>&1; then
    result=ok
  else
    result=FINDING
    status=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  echo "$target: $result, ${runs:-?} executions in ${time:-?} s (log: $log)"
done
exit $status
