#!/usr/bin/env bash
# velaset-cli.exe of the win32 or win64 tree under Wine builds the example project: the
# bytes of the native build (Wine hashes the short names of long names, so the long-named
# file is left out of that comparison and compared by name).
#   build_demo_wine_test.sh win32|win64
set -uo pipefail
export VELASET_WINE_ARCH=${1:?win32 or win64}
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/e2e/build_lib.sh"

work=$root/build/e2e-build-$VELASET_WINE_ARCH
rm -rf "$work"
mkdir -p "$work"
export TZ=UTC
[ -x "$wine_cli" ] || fail_now "$wine_cli is missing: make build first"

make_demo_project "$velaset" "$payload" "$work/Demo.mip" "$work/native.exe" >/dev/null ||
    fail_now "the example project could not be made"
"$velaset" build "$work/Demo.mip" --quiet || fail_now "the native build failed"
tail -c +14337 "$work/native.exe" >"$work/native.cab"

wine_work=$(winpath "$work")
wine_payload=$(winpath "$payload")
make_demo_project "$velaset" "$payload" "$work/Short.mip" "$work/short-native.exe" --short-names-only >/dev/null
"$velaset" build "$work/Short.mip" --quiet
make_demo_project "$wine_velaset" "$wine_payload" "$wine_work\\WShort.mip" "$wine_work\\short-wine.exe" --short-names-only >/dev/null 2>&1
$wine_velaset build "$wine_work\\WShort.mip" --quiet 2>"$work/wine.err"
check "velaset-cli.exe ($VELASET_WINE_ARCH) builds under Wine" test -f "$work/short-wine.exe"
check "velaset-cli.exe ($VELASET_WINE_ARCH) under Wine and velaset give the same bytes" \
    cmp "$work/short-native.exe" "$work/short-wine.exe"
# A large file, which the Windows threads compress in pieces, against one native thread.
{ seq 1 300000 | awk '{ print ($1 * 7919) % 104729, "riga di prova del file grande" }'
  seq 1 200000 | awk '{ print $1, ($1 * 31) % 997 }'; } >"$work/GRANDE.DAT"
make_demo_project "$velaset" "$payload" "$work/Big.mip" "$work/big-native.exe" --short-names-only >/dev/null
"$velaset" add "$work/Big.mip" "$work/GRANDE.DAT" >/dev/null
VELASET_COMPRESS_THREADS=1 "$velaset" build "$work/Big.mip" --quiet
make_demo_project "$wine_velaset" "$wine_payload" "$wine_work\\WBig.mip" "$wine_work\\big-wine.exe" --short-names-only >/dev/null 2>&1
$wine_velaset add "$wine_work\\WBig.mip" "$wine_work\\GRANDE.DAT" >/dev/null 2>&1
$wine_velaset build "$wine_work\\WBig.mip" --quiet 2>>"$work/wine.err"
check "a large file compressed on the Windows threads gives the bytes of one native thread" \
    cmp "$work/big-native.exe" "$work/big-wine.exe"
make_demo_project "$wine_velaset" "$wine_payload" "$wine_work\\WDemo.mip" "$wine_work\\demo-wine.exe" >/dev/null 2>&1
$wine_velaset build "$wine_work\\WDemo.mip" --quiet 2>>"$work/wine.err"
tail -c +14337 "$work/demo-wine.exe" >"$work/demo-wine.cab"
check "the whole demo under Wine differs only by the long name's short name" \
    test "$(cabinet_names "$work/demo-wine.cab" | sed 's/LEGG~[A-Z0-9]*\.TXT/LEGGIM~1.TXT/')" = "$(cabinet_names "$work/native.cab")"
# The system folder holding the runtime of the other architecture (where an x64 package
# was installed, the 64-bit system folder holds the 64-bit avviora.dll) gives neither
# package the wrong runtime: each build passes over it and packs the one beside the
# program, the same bytes as the native build.
system32=$(source "$root/tests/wine/env.sh" && echo "$WINEPREFIX")/drive_c/windows/system32
[ -d "$system32" ] || fail_now "no system folder $system32: boot the prefix first"
[ ! -e "$system32/avviora.dll" ] || mv "$system32/avviora.dll" "$work/avviora.dll.kept"
trap '[ ! -e "$work/avviora.dll.kept" ] && rm -f "$system32/avviora.dll" || mv "$work/avviora.dll.kept" "$system32/avviora.dll"' EXIT
cp "$root/build/bin/win32/x64/avviora.dll" "$system32/avviora.dll"
rm -f "$work/short-wine.exe"
$wine_velaset build "$wine_work\\WShort.mip" --quiet 2>>"$work/wine.err"
check "an x86 package passes over a 64-bit runtime in the system folder" \
    cmp "$work/short-native.exe" "$work/short-wine.exe"
make_demo_project "$velaset" "$payload64" "$work/Short64.mip" "$work/short64-native.exe" --short-names-only >/dev/null
"$velaset" build "$work/Short64.mip" --arch x64 --quiet
make_demo_project "$wine_velaset" "$(winpath "$payload64")" "$wine_work\\WShort64.mip" "$wine_work\\short64-wine.exe" --short-names-only >/dev/null 2>&1
cp "$root/build/bin/win32/avviora.dll" "$system32/avviora.dll"
$wine_velaset build "$wine_work\\WShort64.mip" --arch x64 --quiet 2>>"$work/wine.err"
check "velaset-cli.exe ($VELASET_WINE_ARCH) builds the x64 package under Wine" test -f "$work/short64-wine.exe"
check "an x64 package passes over a 32-bit runtime in the system folder: the native bytes" \
    cmp "$work/short64-native.exe" "$work/short64-wine.exe"
if [ -s "$work/wine.err" ]; then sed 's/^/wine: /' "$work/wine.err"; fi

finish
