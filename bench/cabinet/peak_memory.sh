#!/usr/bin/env bash
# Peak memory of one Comprimi call (`velaset comprimi`, cabinets of 145,000,000 bytes as the
# builder makes them) on one large file of 100 MB, 500 MB and 1 GB, measured with GNU time:
# wall and CPU time, peak resident memory, cabinets and their bytes, the load before and
# after. The file is a tar of /usr/lib and /usr/share cut to the size, so a single folder
# that the processors share in pieces. The largest size is then compressed again on one
# thread, and the two cabinet sets must be the same, byte for byte.
#
#   bash bench/cabinet/peak_memory.sh [VELASET] [MEGABYTES...]   (default build/bin/velaset)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
velaset=${1:-$root/build/bin/velaset}
shift || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(100 500 1000)
work=$root/build/bench/peak-memory
[ -x "$velaset" ] || { echo "peak_memory: $velaset is missing (run make build-native)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "peak_memory: /usr/bin/time is missing (run scripts/setup.sh)" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
largest=0
for n in "${sizes[@]}"; do
    [ "$n" -gt "$largest" ] && largest=$n
done
(set +o pipefail; tar -C /usr -cf - lib share 2>/dev/null | head -c $((largest * 1000000)) >"$work/payload.tar")
if [ "$(stat -c %s "$work/payload.tar")" -lt $((largest * 1000000)) ]; then
    echo "peak_memory: /usr holds less than $largest MB" >&2
    exit 1
fi

# run LABEL MEGABYTES [VAR=VALUE...]: one Comprimi call on the first MEGABYTES of the payload.
run() {
    local label=$1 n=$2
    shift 2
    local out=$work/$label-$n input=$work/input-$n.bin
    mkdir -p "$out/tmp"
    [ -f "$input" ] || head -c $((n * 1000000)) "$work/payload.tar" >"$input"
    local before after
    before=$(cut -d' ' -f1-3 /proc/loadavg)
    env TMPDIR="$out/tmp" "$@" /usr/bin/time -v -o "$out/time.txt" \
        "$velaset" comprimi "$out/" setup "$input" 145000000 >"$out/log" 2>&1 || {
        echo "peak_memory: $label $n MB failed, see $out/log" >&2
        exit 1
    }
    after=$(cut -d' ' -f1-3 /proc/loadavg)
    local wall user sys rss
    wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$out/time.txt")
    user=$(sed -n 's/.*User time (seconds): //p' "$out/time.txt")
    sys=$(sed -n 's/.*System time (seconds): //p' "$out/time.txt")
    rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$out/time.txt")
    printf '| %5s MB | %-9s | %8s | %7s | %6s | %8s KB | %d | %11d | %s -> %s |\n' "$n" "$label" \
        "$wall" "$user" "$sys" "$rss" "$(find "$out" -maxdepth 1 -name '*.CAB' | wc -l)" \
        "$(cat "$out"/*.CAB | wc -c)" "$before" "$after"
}

echo "| input    | threads   | wall     | user s  | sys s  | peak RSS    | cabinets | bytes       | load (1, 5, 15 min) |"
echo "|----------|-----------|----------|---------|--------|-------------|---|-------------|---|"
for n in "${sizes[@]}"; do
    run all "$n"
    [ "$n" -eq "$largest" ] || rm -rf "$work/all-$n" "$work/input-$n.bin"
done
run one "$largest" VELASET_COMPRESS_THREADS=1
same=yes
for cab in "$work/all-$largest"/*.CAB; do
    cmp -s "$cab" "$work/one-$largest/$(basename "$cab")" || same=no
done
[ "$(find "$work/all-$largest" -maxdepth 1 -name '*.CAB' | wc -l)" = \
  "$(find "$work/one-$largest" -maxdepth 1 -name '*.CAB' | wc -l)" ] || same=no
echo
echo "all processors ($(nproc)) and one thread, $largest MB: the same cabinets: $same"
rm -rf "$work"
[ "$same" = yes ]
