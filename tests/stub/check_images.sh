#!/usr/bin/env bash
# The delivered images of one Windows tree: the stub is exactly its fixed
# image size (STUB_IMAGE_SIZE for Avviora.exe, STUB64_IMAGE_SIZE for
# Avviora64.exe) and both it and avviora.dll are programs of the tree's
# architecture; both import only system libraries and msvcrt.dll, the runtime
# stays small and exports its rundll32 entries by their plain names, the stub
# holds its manifest's execution level once (the build may change it), and the
# stub carries the resources of the reviewed golden file (icon, dialogs,
# version block, manifest), and the runtime carries the manifest that
# rundll32 looks for in the library it runs (resource 123).
# check_images.sh win32|win64 STUB RUNTIME CONSTANTS_HEADER GOLDEN_RC
set -euo pipefail
tier=$1 stub=$2 runtime=$3 constants=$4 golden=$5
fail() { echo "FAILED: $*" >&2; exit 1; }

case "$tier" in
  win32) tools=i686-w64-mingw32 size_name=STUB_IMAGE_SIZE format=pei-i386 ;;
  win64) tools=x86_64-w64-mingw32 size_name=STUB64_IMAGE_SIZE format=pei-x86-64 ;;
  *) fail "unknown tier $tier" ;;
esac

size=$(sed -n "s/^#define $size_name \\([0-9]*\\).*/\\1/p" "$constants")
[ -n "$size" ] || fail "no $size_name in $constants"
[ "$(stat -c %s "$stub")" -eq "$size" ] || fail "$stub is $(stat -c %s "$stub") bytes, not $size ($size_name)"
[ "$(stat -c %s "$runtime")" -le 24576 ] || fail "$runtime is larger than 24 KB"
# The build writes a package for one user's level over the stub's own: one place only.
[ "$(grep -a -o 'level="requireAdministrator"' "$stub" | wc -l)" -eq 1 ] ||
  fail "$stub does not hold its manifest's execution level exactly once"

allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|COMCTL32|OLE32|MSVCRT)\.DLL$'
for image in "$stub" "$runtime"; do
  "$tools-objdump" -f "$image" | grep -q "file format $format\$" || fail "$image is not a $format image"
  dlls=$("$tools-objdump" -p "$image" | sed -n 's/^\tDLL Name: //p')
  [ -n "$dlls" ] || fail "$image has no imports"
  while read -r dll; do
    [[ ${dll^^} =~ $allowed ]] || fail "$image imports $dll"
  done <<<"$dlls"
done

exports=$("$tools-objdump" -p "$runtime" | sed -n 's/^\t\[ *[0-9]*\] \([A-Za-z]*\)$/\1/p' | sort | tr '\n' ' ')
[ "$exports" = "CreaCollegamenti Disinstalla Installa RimuoviCartella " ] ||
  fail "$runtime exports: $exports"

"$tools-windres" -i "$stub" -O rc | diff -u "$golden" - ||
  fail "the resources of $stub differ from $golden"
runtime_resources=$("$tools-windres" -i "$runtime" -O rc)
grep -q '^123 24 ' <<<"$runtime_resources" &&
  grep -qF 'name=""Microsoft.Windows.Common-Controls""' <<<"$runtime_resources" ||
  fail "$runtime lacks its manifest (resource 123 naming the common controls)"
echo "stub images ($tier): all checks passed"
