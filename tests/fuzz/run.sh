#!/usr/bin/env bash
# Fuzzes each libFuzzer target of the checked tree for a bounded time.
#   tests/fuzz/run.sh [SECONDS] [TARGET...]
# SECONDS per target (default 60); every target of build/asan/fuzz with its source here
# unless named.
# New inputs go to build/fuzz/corpus/TARGET (kept between runs, so longer runs build on
# shorter ones); a crash, leak, sanitizer report or hang is written to
# build/fuzz/artifacts/TARGET/ and fails the run. To keep a finding as a regression
# case, copy the artifact into tests/fuzz/corpus/TARGET/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
seconds=${1:-60}
shift || true
bin_dir=${VELASET_FUZZ_BIN_DIR:-$root/build/asan/fuzz}
work=$root/build/fuzz

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  # A program without its source here is left over from a target an earlier tree built.
  for program in "$bin_dir"/fuzz_*; do
    target=$(basename "$program")
    [ -x "$program" ] && [ -f "$root/tests/fuzz/$target.cpp" ] && targets+=("$target")
  done
fi
if [ ${#targets[@]} -eq 0 ]; then
  if [ -f "$(dirname "$bin_dir")/CMakeCache.txt" ]; then
    echo "fuzz: the checked tree has no fuzz targets"
    exit 0
  fi
  echo "fuzz: no targets in $bin_dir (run 'make build-asan' first)" >&2
  exit 1
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export ASAN_SYMBOLIZER_PATH=${ASAN_SYMBOLIZER_PATH:-$(command -v llvm-symbolizer-14 || true)}

failed=()
for target in "${targets[@]}"; do
  seeds=$root/tests/fuzz/corpus/$target
  corpus=$work/corpus/$target
  artifacts=$work/artifacts/$target
  log=$work/logs/$target.log
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  flags=()
  if [ -f "$root/tests/fuzz/$target.flags" ]; then
    read -r -a flags <"$root/tests/fuzz/$target.flags"
  fi
  status=0
  "$bin_dir/$target" "${flags[@]}" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" "$seeds" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  size=$(find "$corpus" -type f | wc -l)
  if [ "$status" -eq 0 ]; then
    echo "fuzz: $target: ${runs:-?} executions in ${seconds} s, $size inputs in the corpus, no findings"
  else
    echo "fuzz: $target: FAILED after ${runs:-?} executions (exit $status); see $log and $artifacts" >&2
    grep -m1 -E 'ERROR: |runtime error: |Assertion|deadly signal|timeout' "$log" >&2 || true
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in ${failed[*]}" >&2
  exit 1
fi
