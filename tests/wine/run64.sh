#!/usr/bin/env bash
# Runs one 64-bit Windows program in the 64-bit prefix of this test run (the 64-bit
# tree's test runner): run64.sh PROGRAM ARGS...
VELASET_WINE_ARCH=win64 exec "$(dirname "${BASH_SOURCE[0]}")/run.sh" "$@"
