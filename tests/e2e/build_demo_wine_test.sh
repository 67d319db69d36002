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

# project WHO NAME PAYLOAD [OPTION...]: the example project NAME.mip, its package NAME.exe,
# made by velaset (WHO native) or by velaset-cli.exe under Wine (WHO wine) in $work.
project() {
    if [ "$1" = native ]; then
        make_demo_project "$velaset" "$3" "$work/$2.mip" "$work/$2.exe" "${@:4}" >/dev/null
    else
        make_demo_project "$wine_velaset" "$(winpath "$3")" "$wine_work\\$2.mip" "$wine_work\\$2.exe" "${@:4}" >/dev/null 2>&1
    fi
}
wine_work=$(winpath "$work")
{ seq 1 300000 | awk '{ print ($1 * 7919) % 104729, "riga di prova del file grande" }'
  seq 1 200000 | awk '{ print $1, ($1 * 31) % 997 }'; } >"$work/GRANDE.DAT"
project native Demo "$payload" || fail_now "the example project could not be made"
project native Short "$payload" --short-names-only
project native Big "$payload" --short-names-only
"$velaset" add "$work/Big.mip" "$work/GRANDE.DAT" >/dev/null
project native Short64 "$payload64" --short-names-only
for name in Demo Short Big; do
    VELASET_COMPRESS_THREADS=1 "$velaset" build "$work/$name.mip" --quiet || fail_now "the native build of $name failed"
done
"$velaset" build "$work/Short64.mip" --arch x64 --quiet || fail_now "the native x64 build failed"

# Every package under Wine is built while the system folder holds the runtime of the other
# architecture (as where a package of it was installed): each build passes over it and
# packs the one beside the program.
"$root/tests/wine/boot.sh" || fail_now "no Wine prefix"
system32=$(source "$root/tests/wine/env.sh" && echo "$WINEPREFIX")/drive_c/windows/system32
[ ! -e "$system32/avviora.dll" ] || mv "$system32/avviora.dll" "$work/avviora.dll.kept"
trap '[ ! -e "$work/avviora.dll.kept" ] && rm -f "$system32/avviora.dll" || mv "$work/avviora.dll.kept" "$system32/avviora.dll"' EXIT
cp "$root/build/bin/win32/x64/avviora.dll" "$system32/avviora.dll"
project wine WShort "$payload" --short-names-only
$wine_velaset build "$wine_work\\WShort.mip" --quiet 2>"$work/wine.err"
check "velaset-cli.exe ($VELASET_WINE_ARCH) under Wine and velaset give the same bytes" \
    cmp "$work/Short.exe" "$work/WShort.exe"
# A large file, which the Windows threads compress in pieces, against one native thread.
project wine WBig "$payload" --short-names-only
$wine_velaset add "$wine_work\\WBig.mip" "$wine_work\\GRANDE.DAT" >/dev/null 2>&1
$wine_velaset build "$wine_work\\WBig.mip" --quiet 2>>"$work/wine.err"
check "a large file compressed on the Windows threads gives the bytes of one native thread" \
    cmp "$work/Big.exe" "$work/WBig.exe"
project wine WDemo "$payload"
$wine_velaset build "$wine_work\\WDemo.mip" --quiet 2>>"$work/wine.err"
tail -c +14337 "$work/Demo.exe" >"$work/Demo.cab"
tail -c +14337 "$work/WDemo.exe" >"$work/WDemo.cab"
check "the whole demo under Wine differs only by the long name's short name" \
    test "$(cabinet_names "$work/WDemo.cab" | sed 's/LEGG~[A-Z0-9]*\.TXT/LEGGIM~1.TXT/')" = "$(cabinet_names "$work/Demo.cab")"
cp "$root/build/bin/win32/avviora.dll" "$system32/avviora.dll"
project wine WShort64 "$payload64" --short-names-only
$wine_velaset build "$wine_work\\WShort64.mip" --arch x64 --quiet 2>>"$work/wine.err"
check "the x64 package of velaset-cli.exe ($VELASET_WINE_ARCH) under Wine: the native bytes" \
    cmp "$work/Short64.exe" "$work/WShort64.exe"
if [ -s "$work/wine.err" ]; then sed 's/^/wine: /' "$work/wine.err"; fi

finish
