#!/usr/bin/env bash
# Builds the shipped example project into build/Demo.exe and prints its path and size.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
velaset=$root/build/bin/velaset
payload=$root/build/demo/payload
for needed in "$velaset" "$root/build/bin/win32/Avviora.exe" "$root/build/bin/win32/avviora.dll" \
              "$payload/Demo.exe" "$payload/DemoReg.dll"; do
    [ -e "$needed" ] || { echo "demo: $needed is missing: run make build first" >&2; exit 1; }
done
examples/demo/make_project.sh "$velaset" "$payload" "$root/build/demo/Demo.mip" "$root/build/Demo.exe" >/dev/null
"$velaset" build "$root/build/demo/Demo.mip"
echo "demo: $root/build/Demo.exe, $(wc -c <"$root/build/Demo.exe") bytes"
