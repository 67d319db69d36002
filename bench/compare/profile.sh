#!/usr/bin/env bash
# Where the time of `velaset build` goes on the payloads that run.sh leaves
# (build/bench-compare): perf samples of one build of the 55 MB payload (MSZIP, then LZX)
# and one of the tar alone, then the share of each thread (the writer's and the workers') and of the
# functions that take at least 1 % of the samples. Given a second velaset (an earlier
# build, say), it is sampled the same way on the projects run.sh made for it.
#   bench/compare/profile.sh [VELASET [OTHER-VELASET]]   (default build/bin/velaset)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
velaset=$(realpath "${1:-$root/build/bin/velaset}")
other=${2:+$(realpath "$2")}
work=$root/build/bench-compare
command -v perf >/dev/null || { echo "profile: perf is missing (apt-get install linux-perf)" >&2; exit 1; }
[ -f "$work/Bench.mip" ] || { echo "profile: run bench/compare/run.sh first" >&2; exit 1; }
if [ -n "$other" ] && [ ! -f "$work/Other.mip" ]; then
    echo "profile: run bench/compare/run.sh with the same two velaset first" >&2
    exit 1
fi
out=$work/profile
mkdir -p "$out"

# profile LABEL VELASET PROJECT [BUILD-OPTIONS...]
profile() {
    local label=$1 v=$2 project=$3
    shift 3
    local data=$out/$label.data
    echo "== $label: $v build $(basename "$project") $*; load $(cut -d' ' -f1-3 /proc/loadavg)"
    perf record -q -g -o "$data" "$v" build "$project" --quiet "$@" >/dev/null 2>&1
    perf report -i "$data" --stdio --no-children --sort pid >"$out/$label.threads" 2>/dev/null
    perf report -i "$data" --stdio --no-children -g none --sort dso,symbol --percent-limit 1 \
        >"$out/$label.functions" 2>/dev/null
    sed -n 's/^# \(Samples.*\)/\1/p' "$out/$label.threads" | head -n 1
    echo "threads, the writer's first:"
    grep -E '^ +[0-9.]+%' "$out/$label.threads" | awk '{ split($2, t, ":"); print t[1], $1 }' |
        sort -n | awk '{ printf "  %s", $2 } END { print "" }'
    echo "functions:"
    grep -E '^ +[0-9.]+%' "$out/$label.functions" | awk '{ $3 = ""; print " " $0 }' |
        sed 's/ - -$//' | cut -c1-110
}

profile velaset "$velaset" "$work/Bench.mip"
profile velaset_lzx "$velaset" "$work/Bench.mip" --compression lzx -o "$out/lzx.exe"
profile velaset_tar "$velaset" "$work/Tar.mip"
if [ -n "$other" ]; then
    profile other "$other" "$work/Other.mip"
    profile other_tar "$other" "$work/OtherTar.mip"
fi
