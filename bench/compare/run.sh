#!/usr/bin/env bash
# Builds one payload of about 55 MB into an installation package with `velaset build`
# and, in the same run, with makensis (solid bzip2, then lzma) and libdeflate-gzip -9
# over the same files. Prints wall time, output size and peak resident memory of each,
# and the ratios velaset/peer; then the size of an empty project's setup executable
# beside an empty NSIS installer.
#
#   bash bench/compare/run.sh [VELASET]     (default build/bin/velaset)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
velaset=${1:-$root/build/bin/velaset}
work=$root/build/bench-compare
for tool in makensis libdeflate-gzip /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "compare: $tool is missing (run scripts/setup.sh)" >&2; exit 1; }
done
[ -x "$velaset" ] || { echo "compare: $velaset is missing (run make build)" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/payload" "$work/out"

# The payload: the system C headers as one tar cut to 32 MiB, and a few large
# installed programs and libraries as separate files.
(set +o pipefail; tar -C /usr -cf - include 2>/dev/null | head -c $((32 * 1024 * 1024)) >"$work/payload/headers.tar")
for f in /usr/bin/cmake /usr/bin/ctest /usr/lib/x86_64-linux-gnu/libstdc++.so.6; do
    cp -L "$f" "$work/payload/$(basename "$f")"
done
files=("$work"/payload/*)
payload_bytes=$(cat "${files[@]}" | wc -c)

# measure NAME OUTPUT COMMAND...: runs the command under GNU time and records
# wall seconds, output bytes and peak resident kilobytes.
declare -A wall cpu size rss
measure() {
    local name=$1 output=$2
    shift 2
    /usr/bin/time -v -o "$work/$name.time" "$@" >"$work/$name.log" 2>&1 || {
        echo "compare: $name failed, see $work/$name.log" >&2
        exit 1
    }
    local elapsed
    elapsed=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/$name.time")
    wall[$name]=$(awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; printf "%.2f", s }' <<<"$elapsed")
    cpu[$name]=$(awk -F': ' '/User time|System time/ { s += $2 } END { printf "%.2f", s }' "$work/$name.time")
    rss[$name]=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/$name.time")
    size[$name]=$(cat $output | wc -c)
}

# velaset: a project made with the command line, every file into the installation folder.
project=$work/Bench.mip
"$velaset" new "$project" --title Bench >/dev/null
"$velaset" add "$project" "${files[@]}" >/dev/null
"$velaset" set "$project" "ExeFile=$work/out/velaset.exe" >/dev/null
measure velaset "$work/out/velaset.exe" "$velaset" build "$project" --quiet

# makensis: a minimal script that installs the same files.
nsis_script() { # COMPRESSOR OUTFILE [FILES...]
    local compressor=$1 outfile=$2
    shift 2
    echo "Unicode true"
    echo "SetCompressor /SOLID $compressor"
    echo "OutFile \"$outfile\""
    echo "InstallDir \"\$PROGRAMFILES\\Bench\""
    echo "RequestExecutionLevel user"
    echo "Section"
    echo "  SetOutPath \"\$INSTDIR\""
    for f in "$@"; do echo "  File \"$f\""; done
    echo "SectionEnd"
}
nsis_script bzip2 "$work/out/nsis-bzip2.exe" "${files[@]}" >"$work/bzip2.nsi"
nsis_script lzma "$work/out/nsis-lzma.exe" "${files[@]}" >"$work/lzma.nsi"
measure nsis_bzip2 "$work/out/nsis-bzip2.exe" makensis -V1 "$work/bzip2.nsi"
measure nsis_lzma "$work/out/nsis-lzma.exe" makensis -V1 "$work/lzma.nsi"

# libdeflate-gzip -9 over the same files, one .gz each.
mkdir -p "$work/out/gzip"
cp "${files[@]}" "$work/out/gzip/"
measure gzip9 "$work/out/gzip/*.gz" libdeflate-gzip -9 "$work"/out/gzip/*

printf '\npayload: %d files, %d bytes\n\n' "${#files[@]}" "$payload_bytes"
# The ratios are velaset/peer: below 1 means velaset takes less (time, bytes, memory).
printf '%-12s %7s %7s %13s %6s %9s | %-25s\n' tool "wall s" "cpu s" "output bytes" "ratio" "RSS KB" \
    "velaset/peer: wall cpu size RSS"
for name in velaset nsis_bzip2 nsis_lzma gzip9; do
    awk -v n="$name" -v w="${wall[$name]}" -v c="${cpu[$name]}" -v s="${size[$name]}" \
        -v r="${rss[$name]}" -v vw="${wall[velaset]}" -v vc="${cpu[velaset]}" \
        -v vs="${size[velaset]}" -v vr="${rss[velaset]}" -v p="$payload_bytes" 'BEGIN {
        ratios = "-"
        if (n != "velaset")
            ratios = sprintf("%.2f %.2f %.2f %.3f", vw / w, vc / c, vs / s, vr / r)
        printf "%-12s %7.2f %7.2f %13d %6.3f %9d | %s\n", n, w, c, s, s / p, r, ratios }'
done

# The smallest packages: an empty project and an empty NSIS installer.
"$velaset" new "$work/Empty.mip" --title Vuoto >/dev/null
"$velaset" set "$work/Empty.mip" "ExeFile=$work/out/empty.exe" >/dev/null
"$velaset" build "$work/Empty.mip" --quiet
nsis_script lzma "$work/out/nsis-empty.exe" >"$work/empty.nsi"
makensis -V1 "$work/empty.nsi" >/dev/null
printf '\nempty package: velaset %d bytes, NSIS (lzma) %d bytes\n' \
    "$(wc -c <"$work/out/empty.exe")" "$(wc -c <"$work/out/nsis-empty.exe")"
