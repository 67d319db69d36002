#!/usr/bin/env bash
# Times the wizard on a project of many files under 32-bit Wine: its start with the
# project named on the command line (the project is loaded), and each of the first
# page changes (every page change fills the list pages again), for this tree's
# Velaset.exe and, beside it in the same run, an earlier one (BEFORE, a folder holding
# Velaset.exe, Compress.dll and avviora.dll). Every figure includes the start of the
# tool that presses the button and asks for the page heading (about the same for
# both); the line "idle" measures that alone.
#   bench/wizard_lists/run.sh [FILES]            default 10000 files in 100 folders
#   BEFORE=/path/win32 bench/wizard_lists/run.sh
set -euo pipefail
files=${1:-10000}
source "$(dirname "$0")/../../tests/e2e/lib.sh"
source "$(dirname "$0")/../../tests/e2e/wizard_lib.sh"
root=$e2e_root
cmake --build "$root/build/win32" -j2 --target Velaset velaset winctl >/dev/null
e2e_begin bench_wizard_lists
echo "load before: $(uptime)"

# The files, and the project made of them by velaset-cli.exe in batches that fit a
# Windows command line.
bench_c="$E2E_DRIVE_C/bench"
rm -rf "$bench_c"
mkdir -p "$bench_c/src"
per_folder=100
for ((f = 0; f < files / per_folder; f++)); do
  mkdir -p "$bench_c/src/c$f"
  for ((i = 0; i < per_folder; i++)); do
    : >"$bench_c/src/c$f/f$((f * per_folder + i)).dat"
  done
done
cli() { timeout 600 "$VELASET_WINE" "$root/build/bin/win32/velaset-cli.exe" "$@" >/dev/null; }
cli new 'C:\bench\P.mip' --title Banco
batch=()
for ((f = 0; f < files / per_folder; f++)); do
  for ((i = 0; i < per_folder; i++)); do
    batch+=("C:\\bench\\src\\c$f\\f$((f * per_folder + i)).dat")
  done
  if [ ${#batch[@]} -ge 500 ]; then
    cli add 'C:\bench\P.mip' "${batch[@]}"
    batch=()
  fi
done
[ ${#batch[@]} -eq 0 ] || cli add 'C:\bench\P.mip' "${batch[@]}"

seconds() { date +%s.%N; }
elapsed() { echo "$(seconds) - $1" | bc; }
# Waits until the page heading is no longer $1: the wizard has handled the press (a
# question that times out while the wizard is busy is asked again).
heading_after() {
  local heading
  for _ in $(seq 600); do
    heading=$(wiz_heading || true)
    [ "$heading" != "$1" ] && return 0
  done
  e2e_fail "the page did not change from \"$1\""
}

declare -A result
measure() { # measure LABEL FOLDER
  local label=$1 start
  WIZ_BIN=$2 wiz_install
  start=$(seconds)
  e2e_start 'C:\Velaset\Velaset.exe' 'C:\bench\P.mip'
  wiz wait "$WIZ_TITLE" 120 >/dev/null || e2e_fail "the wizard did not open"
  wiz_heading >/dev/null
  result[$label,start]=$(elapsed "$start")
  start=$(seconds)
  wiz_heading >/dev/null
  result[$label,idle]=$(elapsed "$start")
  local before
  for page in 1 2 3; do
    before=$(wiz_heading)
    start=$(seconds)
    wiz click "$WIZ_TITLE" "&Avanti >" 60 >/dev/null || e2e_fail "no page $page"
    heading_after "$before"
    result[$label,page$page]=$(elapsed "$start")
  done
  local shown
  shown=$(wiz items "$WIZ_TITLE" $IDC_LST_FILES | wc -l)
  [ "$shown" = "$files" ] || e2e_fail "$label shows $shown files, not $files"
  wiz_quit
}

labels=()
if [ -n "${BEFORE:-}" ]; then
  measure before "$BEFORE"
  labels+=(before)
fi
measure after "$root/build/bin/win32"
labels+=(after)

echo "$files files in $((files / per_folder)) folders; seconds of wall-clock time"
printf '%-28s' "step"
for label in "${labels[@]}"; do printf ' %10s' "$label"; done
echo
for step in start idle page1 page2 page3; do
  case $step in
    start) name="start, project loaded" ;;
    idle) name="idle (the tools alone)" ;;
    *) name="to page ${step#page}" ;;
  esac
  printf '%-28s' "$name"
  for label in "${labels[@]}"; do printf ' %10.2f' "${result[$label,$step]}"; done
  echo
done
echo "load after: $(uptime)"
