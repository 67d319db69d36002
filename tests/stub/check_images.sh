#!/usr/bin/env bash
# The delivered images: Avviora.exe is exactly the stub image size, both it
# and avviora.dll import only system libraries and msvcrt.dll, the runtime
# stays small and exports its rundll32 entries, and the stub carries the
# resources of the reviewed golden file (icon, dialogs, version block).
# check_images.sh STUB RUNTIME CONSTANTS_HEADER GOLDEN_RC
set -euo pipefail
stub=$1 runtime=$2 constants=$3 golden=$4
fail() { echo "FAILED: $*" >&2; exit 1; }

size=$(sed -n 's/^#define STUB_IMAGE_SIZE \([0-9]*\).*/\1/p' "$constants")
[ "$(stat -c %s "$stub")" -eq "$size" ] || fail "$stub is $(stat -c %s "$stub") bytes, not $size"
[ "$(stat -c %s "$runtime")" -le 12288 ] || fail "$runtime is larger than 12 KB"

allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|COMCTL32|OLE32|MSVCRT)\.DLL$'
for image in "$stub" "$runtime"; do
  dlls=$(i686-w64-mingw32-objdump -p "$image" | sed -n 's/^\tDLL Name: //p')
  [ -n "$dlls" ] || fail "$image has no imports"
  while read -r dll; do
    [[ ${dll^^} =~ $allowed ]] || fail "$image imports $dll"
  done <<<"$dlls"
done

exports=$(i686-w64-mingw32-objdump -p "$runtime" | sed -n 's/^\t\[ *[0-9]*\] \([A-Za-z]*\)$/\1/p' | sort | tr '\n' ' ')
[ "$exports" = "CreaCollegamenti Disinstalla " ] || fail "$runtime exports: $exports"

i686-w64-mingw32-windres -i "$stub" -O rc | diff -u "$golden" - ||
  fail "the resources of $stub differ from $golden"
echo "stub images: all checks passed"
