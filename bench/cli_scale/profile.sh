#!/usr/bin/env bash
# Where the time of `velaset add`, `inf` and `show` goes on the large project that
# run.sh leaves (build/bench/cli_scale/native/work): perf samples of one run each,
# the functions with the most samples of their own.
#   bench/cli_scale/profile.sh [VELASET]      default: this tree's build/bin/velaset
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
velaset=$(realpath "${1:-$root/build/bin/velaset}")
work=$root/build/bench/cli_scale/native/work
[ -f "$work/P.mip" ] || { echo "run bench/cli_scale/run.sh first" >&2; exit 1; }
out=$root/build/bench/cli_scale/profile
mkdir -p "$out"
cd "$work"
mapfile -t files < <(find src -type f | LC_ALL=C sort)
echo "load: $(uptime)"
for step in add inf show; do
  case $step in
    add) rm -f Q.mip Q.mip.lock; "$velaset" new Q.mip >/dev/null 2>&1
         args=(add Q.mip "${files[@]}") ;;
    inf) args=(inf P.mip -o "$out/setup.inf") ;;
    show) args=(show P.mip) ;;
  esac
  perf record -q -F 499 -g -o "$out/$step.data" "$velaset" "${args[@]}" >/dev/null 2>&1
  echo "== $step: $(perf report -i "$out/$step.data" --stdio --header-only 2>/dev/null |
    sed -n 's/^# Samples: \([^ ]*\) .*/\1/p') samples"
  perf report -i "$out/$step.data" --stdio --no-children -g none --sort dso,symbol \
    --percent-limit 2.5 2>/dev/null | grep '%' | cut -c1-120
done
rm -f Q.mip Q.mip.lock
