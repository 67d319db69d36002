#!/usr/bin/env bash
# Builds one payload of about 55 MB (a 32 MiB tar of the system headers and three large
# programs and libraries) into an installation package with `velaset build` (MSZIP, and
# LZX with --compression lzx) and, in the same run, over the same files with
# libdeflate-gzip -9, gzip -9 and makensis (solid bzip2, then lzma); then the tar alone
# with `velaset build` beside libdeflate-gzip -9.
# Every tool runs RUNS times in turn (default 2) and its best wall time counts. Prints
# wall and CPU time, output size and peak resident memory of each, the ratios
# velaset/peer, and the machine's load before and after.
#
#   bash bench/compare/run.sh [VELASET [OTHER-VELASET]]   (default build/bin/velaset)
#
# OTHER-VELASET, when given, is measured beside the first in the same run (an earlier
# build, say), with its own rows. Each velaset finds the Windows files in the win32
# folder beside it.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
velaset=${1:-$root/build/bin/velaset}
other=${2:-}
runs=${RUNS:-2}
work=$root/build/bench-compare
for tool in makensis libdeflate-gzip gzip /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "compare: $tool is missing (run scripts/setup.sh)" >&2; exit 1; }
done
for v in "$velaset" $other; do
    [ -x "$v" ] || { echo "compare: $v is missing (run make build)" >&2; exit 1; }
done

rm -rf "$work"
mkdir -p "$work/payload" "$work/tar" "$work/out"

# The payload: the system C headers as one tar cut to 32 MiB, and a few large
# installed programs and libraries as separate files.
(set +o pipefail; tar -C /usr -cf - include 2>/dev/null | head -c $((32 * 1024 * 1024)) >"$work/payload/headers.tar")
for f in /usr/bin/cmake /usr/bin/ctest /usr/lib/x86_64-linux-gnu/libstdc++.so.6; do
    cp -L "$f" "$work/payload/$(basename "$f")"
done
cp "$work/payload/headers.tar" "$work/tar/"
files=("$work"/payload/*)
payload_bytes=$(cat "${files[@]}" | wc -c)
tar_bytes=$(wc -c <"$work/tar/headers.tar")

# measure NAME OUTPUT COMMAND...: runs the command under GNU time and keeps, of all its
# runs, the best wall seconds with that run's CPU seconds; output bytes and the largest
# peak resident kilobytes.
declare -A wall cpu size rss
measure() {
    local name=$1 output=$2
    shift 2
    /usr/bin/time -v -o "$work/$name.time" "$@" >"$work/$name.log" 2>&1 || {
        echo "compare: $name failed, see $work/$name.log" >&2
        exit 1
    }
    local elapsed w c r
    elapsed=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/$name.time")
    w=$(awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; printf "%.2f", s }' <<<"$elapsed")
    c=$(awk -F': ' '/User time|System time/ { s += $2 } END { printf "%.2f", s }' "$work/$name.time")
    r=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/$name.time")
    if [ -z "${wall[$name]:-}" ] || awk -v a="$w" -v b="${wall[$name]}" 'BEGIN { exit !(a < b) }'; then
        wall[$name]=$w
        cpu[$name]=$c
    fi
    if [ -z "${rss[$name]:-}" ] || [ "$r" -gt "${rss[$name]}" ]; then
        rss[$name]=$r
    fi
    size[$name]=$(cat $output | wc -c)
}

# A project made with the command line, every file into the installation folder.
make_project() { # VELASET PROJECT EXE FILES...
    local v=$1 project=$2 exe=$3
    shift 3
    "$v" new "$project" --title Bench >/dev/null
    "$v" add "$project" "$@" >/dev/null
    "$v" set "$project" "ExeFile=$exe" >/dev/null
}
make_project "$velaset" "$work/Bench.mip" "$work/out/velaset.exe" "${files[@]}"
make_project "$velaset" "$work/Tar.mip" "$work/out/velaset-tar.exe" "$work/tar/headers.tar"
if [ -n "$other" ]; then
    make_project "$other" "$work/Other.mip" "$work/out/other.exe" "${files[@]}"
    make_project "$other" "$work/OtherTar.mip" "$work/out/other-tar.exe" "$work/tar/headers.tar"
fi

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
mkdir -p "$work/out/libdeflate" "$work/out/gzip" "$work/out/tar-libdeflate"

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for ((run = 1; run <= runs; run++)); do
    # The gzip tools compress copies in place (one .gz each), made afresh every run.
    rm -f "$work"/out/libdeflate/* "$work"/out/gzip/* "$work"/out/tar-libdeflate/*
    cp "${files[@]}" "$work/out/libdeflate/"
    cp "${files[@]}" "$work/out/gzip/"
    cp "$work/tar/headers.tar" "$work/out/tar-libdeflate/"
    measure velaset "$work/out/velaset.exe" "$velaset" build "$work/Bench.mip" --quiet
    measure velaset_lzx "$work/out/velaset-lzx.exe" "$velaset" build "$work/Bench.mip" \
        --compression lzx -o "$work/out/velaset-lzx.exe" --quiet
    [ -z "$other" ] || measure other "$work/out/other.exe" "$other" build "$work/Other.mip" --quiet
    measure gzip9 "$work/out/libdeflate/*.gz" libdeflate-gzip -9 "$work"/out/libdeflate/*
    measure gnu_gzip9 "$work/out/gzip/*.gz" gzip -9 "$work"/out/gzip/*
    measure nsis_bzip2 "$work/out/nsis-bzip2.exe" makensis -V1 "$work/bzip2.nsi"
    [ "$run" -gt 1 ] || measure nsis_lzma "$work/out/nsis-lzma.exe" makensis -V1 "$work/lzma.nsi"
    measure velaset_tar "$work/out/velaset-tar.exe" "$velaset" build "$work/Tar.mip" --quiet
    [ -z "$other" ] || measure other_tar "$work/out/other-tar.exe" "$other" build "$work/OtherTar.mip" --quiet
    measure tar_gzip9 "$work/out/tar-libdeflate/*.gz" libdeflate-gzip -9 "$work/out/tar-libdeflate/headers.tar"
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# table VELASET-ROW INPUT-BYTES ROWS...: one line per tool; the ratios are VELASET-ROW/peer
# (below 1: velaset takes less time, bytes or memory).
table() {
    local base=$1 input=$2
    shift 2
    printf '%-12s %7s %7s %13s %6s %9s | %-31s\n' tool "wall s" "cpu s" "output bytes" "ratio" "RSS KB" \
        "$base/peer: wall cpu size RSS"
    for name in "$@"; do
        awk -v n="$name" -v b="$base" -v w="${wall[$name]}" -v c="${cpu[$name]}" -v s="${size[$name]}" \
            -v r="${rss[$name]}" -v vw="${wall[$base]}" -v vc="${cpu[$base]}" \
            -v vs="${size[$base]}" -v vr="${rss[$base]}" -v p="$input" 'BEGIN {
            ratios = "-"
            if (n != b)
                ratios = sprintf("%.2f %.2f %.3f %.3f", vw / w, vc / c, vs / s, vr / r)
            printf "%-12s %7.2f %7.2f %13d %6.3f %9d | %s\n", n, w, c, s, s / p, r, ratios }'
    done
}

printf '\nload average (1, 5, 15 min) before: %s, after: %s; %s processors; best of %d runs\n' \
    "$load_before" "$load_after" "$(nproc)" "$runs"
printf '\npayload: %d files, %d bytes\n\n' "${#files[@]}" "$payload_bytes"
rows=(velaset)
[ -z "$other" ] || rows+=(other)
table velaset "$payload_bytes" "${rows[@]}" velaset_lzx gzip9 gnu_gzip9 nsis_bzip2 nsis_lzma
printf '\nthe LZX package beside the others (aims: size at most 0.78 of MSZIP and 1.40 of\n'
printf 'NSIS lzma; wall time at most 0.25 of NSIS lzma; at most 96 MB resident)\n\n'
table velaset_lzx "$payload_bytes" velaset_lzx velaset nsis_bzip2 nsis_lzma
printf '\nthe tar alone: %d bytes\n\n' "$tar_bytes"
rows=(velaset_tar)
[ -z "$other" ] || rows+=(other_tar)
table velaset_tar "$tar_bytes" "${rows[@]}" tar_gzip9
if [ -n "$other" ]; then
    if cmp -s "$work/out/velaset.exe" "$work/out/other.exe" &&
        cmp -s "$work/out/velaset-tar.exe" "$work/out/other-tar.exe"; then
        echo; echo "velaset and other: the same packages, byte for byte"
    else
        echo; echo "velaset and other: the packages DIFFER"
    fi
fi

# The smallest packages: an empty project and an empty NSIS installer.
"$velaset" new "$work/Empty.mip" --title Vuoto >/dev/null
"$velaset" set "$work/Empty.mip" "ExeFile=$work/out/empty.exe" >/dev/null
"$velaset" build "$work/Empty.mip" --quiet
nsis_script lzma "$work/out/nsis-empty.exe" >"$work/empty.nsi"
makensis -V1 "$work/empty.nsi" >/dev/null
printf '\nempty package: velaset %d bytes, NSIS (lzma) %d bytes\n' \
    "$(wc -c <"$work/out/empty.exe")" "$(wc -c <"$work/out/nsis-empty.exe")"
