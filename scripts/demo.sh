#!/usr/bin/env bash
# Builds the shipped example project into build/Demo.exe, and the same project of the
# 64-bit payload as an x64 package into build/Demo64.exe; prints their paths and sizes.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
velaset=$root/build/bin/velaset
payload=$root/build/demo/payload
payload64=$root/build/demo/payload64
for needed in "$velaset" "$root/build/bin/win32/Avviora.exe" "$root/build/bin/win32/avviora.dll" \
              "$root/build/bin/win32/x64/Avviora64.exe" "$root/build/bin/win32/x64/avviora.dll" \
              "$payload/Demo.exe" "$payload/DemoReg.dll" "$payload64/Demo.exe" "$payload64/DemoReg.dll"; do
    [ -e "$needed" ] || { echo "demo: $needed is missing: run make build first" >&2; exit 1; }
done
examples/demo/make_project.sh "$velaset" "$payload" "$root/build/demo/Demo.mip" "$root/build/Demo.exe" >/dev/null
"$velaset" build "$root/build/demo/Demo.mip"
echo "demo: $root/build/Demo.exe, $(wc -c <"$root/build/Demo.exe") bytes"
examples/demo/make_project.sh "$velaset" "$payload64" "$root/build/demo/Demo64.mip" "$root/build/Demo64.exe" >/dev/null
"$velaset" set "$root/build/demo/Demo64.mip" Architettura=x64
"$velaset" build "$root/build/demo/Demo64.mip"
echo "demo: $root/build/Demo64.exe (x64), $(wc -c <"$root/build/Demo64.exe") bytes"
