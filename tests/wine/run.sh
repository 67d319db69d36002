#!/usr/bin/env bash
# Runs one Windows program under Wine in the test run's prefix: run.sh PROGRAM ARGS...
# (the tier's prefix: VELASET_WINE_ARCH=win32, the default, or win64).
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/env.sh"
"$here/boot.sh"
exec timeout "${VELASET_WINE_TIMEOUT:-900}" "$VELASET_WINE" "$@"
