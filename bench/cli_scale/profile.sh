#!/usr/bin/env bash
# Where the time of `velaset add`, `inf` and `show` goes on the large project that
# run.sh leaves (build/bench/cli_scale/native/work): perf samples with their call
# stacks of one run each, then the functions of velaset with the share of the samples
# spent in them and in what they call.
#   bench/cli_scale/profile.sh [--hz N] [VELASET]   default: 499 Hz, build/bin/velaset
# (An earlier velaset that takes minutes is best sampled at --hz 49.)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
hz=499
if [ "${1:-}" = --hz ]; then hz=$2; shift 2; fi
velaset=$(realpath "${1:-$root/build/bin/velaset}")
work=$root/build/bench/cli_scale/native/work
[ -f "$work/P.mip" ] || { echo "run bench/cli_scale/run.sh first" >&2; exit 1; }
out=$root/build/bench/cli_scale/profile
mkdir -p "$out"
cd "$work"
mapfile -t files < <(find src -type f | LC_ALL=C sort)
echo "$velaset; load: $(uptime)"
for step in add inf show; do
  case $step in
    add) rm -f Q.mip Q.mip.lock; "$velaset" new Q.mip >/dev/null 2>&1
         args=(add Q.mip "${files[@]}") ;;
    inf) args=(inf P.mip -o "$out/setup.inf") ;;
    show) args=(show P.mip) ;;
  esac
  start=$(date +%s.%N)
  perf record -q -F "$hz" --call-graph dwarf,8192 -o "$out/$step.data" "$velaset" "${args[@]}" \
    >/dev/null 2>&1
  echo "== $step: $(echo "$(date +%s.%N) - $start" | bc) s under perf," \
    "$(perf report -i "$out/$step.data" --stdio 2>/dev/null | grep -m1 '^# Samples' | cut -c3-)"
  perf report -i "$out/$step.data" --stdio --children -g none --sort symbol \
    --percent-limit 3 2>/dev/null | grep -E '^ +[0-9.]+%.*(velaset|platform)::' |
    awk '{ $2 = ""; $3 = ""; print }' | cut -c1-110
done
rm -f Q.mip Q.mip.lock
