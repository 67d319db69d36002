#!/usr/bin/env bash
# Runs the test tiers and ends with a summary of what each one proved.
#   tests/tiers.sh [TIER...]     TIER: native sanitizers wine32 wine64 fuzz (default: all)
# native: build/native; sanitizers: build/asan; wine32, wine64: the Windows trees
# build/win32, build/win64 under Wine, with the Wine cases of the native tree; fuzz: each
# libFuzzer target for FUZZ_SECONDS (default 60). Where the host cannot start the 32-bit
# Wine loader, or with VELASET_SKIP_WIN32=1, the 32-bit tier is reported as NOT RUN and
# its tests listed as not run, never counted as passed. Exit code 0 only when every tier
# that ran passed.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${JOBS:-2}
fuzz_seconds=${FUZZ_SECONDS:-60}
results=$root/build/tiers
mkdir -p "$results"

tiers=("$@")
[ ${#tiers[@]} -gt 0 ] || tiers=(native sanitizers wine32 wine64 fuzz)

declare -A title=([native]=native [sanitizers]=sanitizers [wine32]="Windows 32-bit (wine32)"
  [wine64]="Windows 64-bit (wine64)" [fuzz]=fuzzing)
declare -A passed failed not_run seconds note
any_failed=0

# run_ctest TIER LOG CTEST-ARGS...: one ctest run, its counts from ctest's closing line
# added to the tier's (one failure when there is no such line: no test ran).
run_ctest() {
  local tier=$1 log=$2 counts
  shift 2
  ctest "$@" --output-on-failure 2>&1 | tee "$log"
  counts=($(sed -nE 's/^[0-9]+% tests passed, ([0-9]+) tests? failed out of ([0-9]+).*/\1 \2/p' "$log" | tail -n 1))
  [ ${#counts[@]} -eq 2 ] || counts=(1 1)
  passed[$tier]=$((${passed[$tier]:-0} + counts[1] - counts[0]))
  failed[$tier]=$((${failed[$tier]:-0} + counts[0]))
}

# Succeeds when this host runs 32-bit x86 programs; otherwise prints why not.
host_runs_32bit() {
  if [ "${VELASET_SKIP_WIN32:-0}" = 1 ]; then
    echo "VELASET_SKIP_WIN32=1 is set"
    return 1
  fi
  # The 32-bit Wine loader is itself a 32-bit x86 program.
  local loader=/usr/lib/wine/wine output
  [ -e "$loader" ] || loader=$(command -v wine) || { echo "the 32-bit Wine loader is not installed"; return 1; }
  output=$("$loader" --version 2>&1) && return 0
  if grep -qi 'exec format error' <<<"$output"; then
    echo "this host cannot run 32-bit x86 programs (Exec format error)"
  else
    echo "the 32-bit Wine loader does not start: $(head -n 1 <<<"$output")"
  fi
  return 1
}

tier_native() {
  run_ctest native "$results/native.log" --test-dir build/native -j"$jobs" -LE 'wine32|wine64'
}

# The end-to-end scripts drive the deliverables of build/bin and Wine, which the native
# tier checks, so they are left out of the checked tree's run.
tier_sanitizers() {
  UBSAN_OPTIONS=print_stacktrace=1 run_ctest sanitizers "$results/sanitizers.log" \
    --test-dir build/asan -j"$jobs" -E '^e2e[.]'
}

tier_wine() { # tier_wine TIER ARCH: in a fresh prefix for this test run
  local tier=$1 arch=$2 prefix=build/wineprefix
  [ "$arch" = win64 ] && prefix=build/wineprefix64
  rm -rf "$prefix" "$prefix.lock"
  if ! VELASET_WINE_ARCH=$arch tests/wine/boot.sh; then
    echo "$tier: the Wine prefix could not be made" >&2
    failed[$tier]=1
    return
  fi
  run_ctest "$tier" "$results/$tier-tree.log" --test-dir "build/$arch"
  run_ctest "$tier" "$results/$tier-native.log" --test-dir build/native -L "$tier"
}

tier_wine32() {
  local why
  if ! why=$(host_runs_32bit); then
    # The checks that only read the 32-bit images (label static) still run.
    run_ctest wine32 "$results/wine32-static.log" --test-dir build/win32 -L static
    local names
    names=$( (ctest -N --test-dir build/win32 -LE static; ctest -N --test-dir build/native -L wine32) 2>/dev/null |
      sed -n 's/^ *Test *#[0-9]*: //p' | sort)
    not_run[wine32]=$(grep -c . <<<"$names")
    note[wine32]="NOT RUN: $why; the 64-bit tier ran instead"
    echo "!!!!! Windows 32-bit tier ${note[wine32]} !!!!!"
    echo "Not run (the 32-bit deliverables under 32-bit Wine):"
    sed 's/^/  not run: /' <<<"$names"
    return
  fi
  tier_wine wine32 win32
}

tier_wine64() { tier_wine wine64 win64; }

tier_fuzz() {
  tests/fuzz/run.sh "$fuzz_seconds" 2>&1 | tee "$results/fuzz.log"
  local status=${PIPESTATUS[0]}
  passed[fuzz]=$(grep -c ', no findings$' "$results/fuzz.log")
  failed[fuzz]=$(grep -c ': FAILED after' "$results/fuzz.log")
  [ "$status" -eq 0 ] || [ "${failed[fuzz]}" -ne 0 ] || failed[fuzz]=1
}

for tier in "${tiers[@]}"; do
  if [ -z "${title[$tier]:-}" ]; then
    echo "tiers: unknown tier '$tier' (native sanitizers wine32 wine64 fuzz)" >&2
    exit 2
  fi
done

for tier in "${tiers[@]}"; do
  printf '\n===== tier: %s =====\n' "${title[$tier]}"
  start=$SECONDS
  "tier_$tier"
  seconds[$tier]=$((SECONDS - start))
  [ "${failed[$tier]:-0}" -eq 0 ] || any_failed=1
done

printf '\n===== summary =====\n'
printf '%-26s %7s %7s %8s %9s\n' tier passed failed "not run" time
for tier in "${tiers[@]}"; do
  printf '%-26s %7d %7d %8d %6dm%02ds  %s\n' "${title[$tier]}" "${passed[$tier]:-0}" \
    "${failed[$tier]:-0}" "${not_run[$tier]:-0}" $((seconds[$tier] / 60)) \
    $((seconds[$tier] % 60)) "${note[$tier]:-}"
done
if [ "$any_failed" -ne 0 ]; then
  echo "tests: FAILED"
  exit 1
fi
echo "tests: every tier that ran passed"
