#!/usr/bin/env bash
# Times `velaset add` of 10,000 files in 100 folders into a new project, then `inf`,
# `show`, `set` and `build` of it, with this tree's velaset beside an earlier one
# (BEFORE, a velaset program with its win32 folder beside it) in the same run, and
# checks that both leave the same project file, script, text and package byte for
# byte. Then the same on 1,000 files in 10 folders with velaset-cli.exe under 32-bit
# Wine (64-bit Wine where 32-bit programs cannot run), beside BEFORE_CLI if given.
# The machine's load is printed before and after.
#   bench/cli_scale/run.sh [--files N] [--wine-files N] [--no-wine]
#   BEFORE=/path/velaset BEFORE_CLI=/path/velaset-cli.exe bench/cli_scale/run.sh
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bench=$root/build/native/bench/cli_scale/cli_scale_bench
files=10000
wine_files=1000
wine=1
while [ $# -gt 0 ]; do
  case "$1" in
    --files) files=$2; shift 2 ;;
    --wine-files) wine_files=$2; shift 2 ;;
    --no-wine) wine=0; shift ;;
    *) echo "uso: $0 [--files N] [--wine-files N] [--no-wine]" >&2; exit 2 ;;
  esac
done
cmake --build "$root/build/native" -j2 --target cli_scale_bench velaset >/dev/null
out=$root/build/bench/cli_scale
mkdir -p "$out"

runners=()
[ -n "${BEFORE:-}" ] && runners+=("before=$BEFORE")
runners+=("after=$root/build/bin/velaset")
echo "load before: $(uptime)"
status=0
"$bench" --files "$files" --folders $((files / 100)) "$out/native" "${runners[@]}" || status=1
echo "load after the native runs: $(uptime)"

if [ "$wine" = 1 ]; then
  arch=win32
  if ! /usr/lib/wine/wine --version >/dev/null 2>&1 && ! wine --version >/dev/null 2>&1; then
    arch=win64
  fi
  export VELASET_WINE_ARCH=$arch
  source "$root/tests/wine/env.sh"
  "$root/tests/wine/boot.sh"
  # One wineserver for every run, so that no run pays for starting it.
  wineserver -p 60
  cli=$root/build/bin/$arch/velaset-cli.exe
  wrunners=()
  [ -n "${BEFORE_CLI:-}" ] && wrunners+=("before-cli=$VELASET_WINE $BEFORE_CLI")
  wrunners+=("after-cli=$VELASET_WINE $cli")
  "$bench" --windows --files "$wine_files" --folders $((wine_files / 100)) "$out/wine" \
    "${wrunners[@]}" || status=1
  wineserver -k || true
  echo "load after the Wine runs: $(uptime)"
fi
exit $status
