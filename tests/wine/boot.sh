#!/usr/bin/env bash
# Makes the Wine prefix of this test run for the tier VELASET_WINE_ARCH (win32 or win64;
# once per prefix; later calls return at once).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ -f "$WINEPREFIX/.velaset-booted" ]; then
  exit 0
fi
rm -rf "$WINEPREFIX"
echo "wine: making the $VELASET_WINE_ARCH prefix $WINEPREFIX" >&2
timeout 300 "$VELASET_WINE" wineboot -i >/dev/null 2>&1 || { echo "wine: wineboot failed ($VELASET_WINE_ARCH)" >&2; exit 1; }
timeout 120 wineserver -w || true
touch "$WINEPREFIX/.velaset-booted"
