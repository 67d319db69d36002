#!/usr/bin/env bash
# Compress.dll under Wine, through LoadLibrary with Windows paths: its exports and imports;
# cabinets, sets and LZX ones read by cabextract and Wine's EXTRAC32, byte for byte the
# native ones; the progress of ComprimiConAvanzamento and a stop asked through it.
# compress_dll_test.sh LOADER.exe Compress.dll NATIVE-VELASET
set -euo pipefail
loader=$1
dll=$2
velaset=${3:?the native velaset}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
run="$root/tests/wine/run.sh"
# The tools of the tree under test: 32-bit (default) or 64-bit (VELASET_WINE_ARCH=win64).
if [ "${VELASET_WINE_ARCH:-win32}" = win64 ]; then objdump=x86_64-w64-mingw32-objdump; else objdump=i686-w64-mingw32-objdump; fi
export VELASET_WINE_TIMEOUT=120

fail() { echo "FAIL: $*" >&2; exit 1; }
winpath() { echo "Z:$1" | sed 's|/|\\|g'; }

imports=$("$objdump" -p "$dll" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
[ "$imports" = "kernel32.dll msvcrt.dll user32.dll " ] || fail "Compress.dll imports: $imports"
exports=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -o '^\s*\[ *[0-9]*\] .*' | sed 's/.*\] //')
[ "$exports" = "Comprimi"$'\n'"ComprimiConAvanzamento"$'\n'"ComprimiConMetodo" ] ||
    fail "Compress.dll exports: $exports"

work=$(mktemp -d "$root/build/compress-dll.XXXXXX")
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
cp "$loader" "$work/loader.exe"
cp "$dll" "$work/Compress.dll"
mkdir "$work/src" "$work/one" "$work/set"
head -c 150000 /dev/urandom >"$work/src/random.bin"
seq 1 40000 | sed 's/$/ riga di prova/' >"$work/src/testo.txt"
: >"$work/src/vuoto.dat"
printf 'sola lettura\r\n' >"$work/src/LEGGIMI.TXT"
chmod a-w "$work/src/LEGGIMI.TXT"
names="random.bin testo.txt vuoto.dat LEGGIMI.TXT"
list=""
for n in $names; do list="$list${list:+++}$(winpath "$work/src/$n")"; done
list=${list//++/+}

# Wine's EXTRAC32 extracts the files that a cabinet lists, following a file that spans into
# the next cabinets, but does not go on to the files listed there (Windows' FDI does): it is
# run on every cabinet of a set, each file being extracted once, from where it starts.
extrac32_set() { # extrac32_set FIRST_CABINET INTO
    local dir
    dir=$(dirname "$1")
    for cab in $(ls "$dir" | grep '^setup[0-9]*\.CAB$' | sort -V); do
        "$run" extrac32 /E /Y /L "$(winpath "$2")" "$(winpath "$dir/$cab")" >/dev/null 2>&1 || true
    done
}

compare() { # compare EXTRACTED_DIR: every source is there, byte for byte
    for n in $names; do cmp "$work/src/$n" "$1/$n" || fail "$n differs in $1"; done
}

# One cabinet through the DLL, Windows paths throughout.
(cd "$work" && "$run" loader.exe "$(winpath "$work/one")\\" setup "$list" 0) || fail "Comprimi answered 0"
[ -f "$work/one/setup.CAB" ] || fail "no setup.CAB"
cabextract -t "$work/one/setup.CAB" | grep -q "All done, no errors." || fail "cabextract -t"
listing=$(cabextract -l "$work/one/setup.CAB")
for n in $names; do grep -q "| $n\$" <<<"$listing" || fail "$n not listed"; done
cabextract -q -d "$work/one/out" "$work/one/setup.CAB"
compare "$work/one/out"
[ "$(stat -c %A "$work/one/out/LEGGIMI.TXT" | cut -c3)" = "-" ] || fail "read-only attribute lost"

# The second export tells every byte it compresses, and the same cabinet comes out.
mkdir "$work/told" "$work/stopped"
total=0
for n in $names; do total=$((total + $(stat -c %s "$work/src/$n"))); done
out=$(cd "$work" && "$run" loader.exe "$(winpath "$work/told")\\" setup "$list" 0 0) ||
    fail "ComprimiConAvanzamento answered 0"
grep -q "^bytes $total calls" <<<"$(tr -d '\r' <<<"$out")" || fail "told: $out (expected $total bytes)"
cmp "$work/one/setup.CAB" "$work/told/setup.CAB" || fail "the cabinets of the two exports differ"
# A stop at the third call: the call answers 0 and leaves no cabinet.
if out=$(cd "$work" && "$run" loader.exe "$(winpath "$work/stopped")\\" setup "$list" 0 3); then
    fail "a stopped call answered 1: $out"
fi
grep -q "calls 3\$" <<<"$(tr -d '\r' <<<"$out")" || fail "calls after the stop: $out"
[ -z "$(ls -A "$work/stopped")" ] || fail "a stopped call left: $(ls -A "$work/stopped")"

# LZX (type 0x1503) through the third export, the files joined into one folder by "|":
# every byte told, extracted by Wine's EXTRAC32 (cabextract reads the same bytes of the
# native build in lzx_test).
mkdir "$work/lzx"
joined=${list//+/|}
out=$(cd "$work" && "$run" loader.exe "$(winpath "$work/lzx")\\" setup "$joined" 0 0 5379) ||
    fail "ComprimiConMetodo answered 0: $out"
grep -q "^bytes $total calls" <<<"$(tr -d '\r' <<<"$out")" || fail "LZX told: $out (expected $total bytes)"
[ "$(od -An -tx1 -j42 -N2 "$work/lzx/setup.CAB" | tr -d ' ')" = 0315 ] || fail "not an LZX folder"
extrac32_set "$work/lzx/setup.CAB" "$work/lzx/extrac32"
compare "$work/lzx/extrac32"

# A set of cabinets through the DLL, extracted by cabextract and by EXTRAC32.
(cd "$work" && "$run" loader.exe "$(winpath "$work/set")\\" setup "$list" 40000) || fail "Comprimi answered 0 for a set"
count=$(ls "$work/set" | grep -c '^setup[0-9]*\.CAB$')
[ "$count" -ge 3 ] || fail "expected a set of cabinets, got $count"
cabextract -q -d "$work/set/cabextract" "$work/set/setup.CAB"
compare "$work/set/cabextract"
extrac32_set "$work/set/setup.CAB" "$work/set/extrac32"
compare "$work/set/extrac32"

# The DLL and the native velaset write the same bytes for the same sources (so EXTRAC32
# reads the native set too), LZX too, whatever threads each has.
nlist=""
for n in $names; do nlist="$nlist${nlist:++}$work/src/$n"; done
mkdir "$work/native" "$work/native-lzx"
"$velaset" comprimi "$work/native/" setup "$nlist" 40000 || fail "velaset comprimi failed"
for f in "$work/set"/setup*.CAB; do cmp "$f" "$work/native/$(basename "$f")" || fail "$(basename "$f") differs between builds"; done
VELASET_COMPRESS_THREADS=3 "$velaset" comprimi --lzx "$work/native-lzx/" setup "${nlist//+/|}" ||
    fail "velaset comprimi --lzx failed"
cmp "$work/lzx/setup.CAB" "$work/native-lzx/setup.CAB" || fail "the LZX cabinets differ between builds"
echo "compress dll interop: all checks passed"
