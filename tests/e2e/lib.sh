# Shell library of the end-to-end cases under Wine, sourced by each case: its own X
# display (Xvfb) per case, the programs in a Wine virtual desktop (focus and captions
# work), windows driven by their texts through winctl.exe (e2e_wait and e2e_click put
# the window's texts into $E2E_TEXTS), screenshots, the registry through "wine reg
# query". The tier is VELASET_WINE_ARCH (tests/wine/env.sh): win32 (default) or win64,
# whose artifacts go to build/e2e/win64/.

set -euo pipefail
e2e_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
e2e_root=$(cd "$e2e_here/../.." && pwd)
source "$e2e_root/tests/wine/env.sh"
# English Wine dialogs ("Yes", "No") and the Windows-1252 code page.
export LANG=C.UTF-8
unset LC_ALL
# Links saved in the Start menu must not turn into desktop files of the host.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
E2E_DRIVE_C="$WINEPREFIX/drive_c"
E2E_WINCTL="${E2E_WINCTL:-$e2e_root/build/$VELASET_WINE_ARCH/tests/e2e/winctl.exe}"
E2E_DESKTOP=velaset
E2E_TEXTS=""
E2E_ON_END=()

e2e_log() { echo "e2e[$E2E_NAME]: $*" >&2; }

e2e_stop_display() {
  if [ -n "${E2E_XVFB_PID:-}" ]; then
    kill "$E2E_XVFB_PID" 2>/dev/null || true
    wait "$E2E_XVFB_PID" 2>/dev/null || true
    E2E_XVFB_PID=""
  fi
}

e2e_on_end() {
  E2E_ON_END+=("$(printf '%q ' "$@")")
}

e2e_end() {
  # A program that a failed case left waiting in a dialog is ended first;
  # every Wine process of the case ends before the display goes away.
  if [ -n "${E2E_PROGRAM_PID:-}" ] && kill -0 "$E2E_PROGRAM_PID" 2>/dev/null; then
    kill "$E2E_PROGRAM_PID" 2>/dev/null || true
  fi
  timeout 60 wineserver -w 2>/dev/null || true
  local command
  for command in "${E2E_ON_END[@]}"; do
    eval "$command" >/dev/null 2>&1 || true
  done
  timeout 60 wineserver -w 2>/dev/null || true
  if [ -n "${E2E_DESKTOP_SET:-}" ]; then
    timeout 60 "$VELASET_WINE" reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 || true
    timeout 60 wineserver -w 2>/dev/null || true
  fi
  e2e_stop_display
}

e2e_begin() {
  E2E_NAME=$1
  E2E_ARTIFACTS="$e2e_root/build/e2e/$E2E_NAME"
  [ "$VELASET_WINE_ARCH" = win32 ] || E2E_ARTIFACTS="$e2e_root/build/e2e/$VELASET_WINE_ARCH/$E2E_NAME"
  rm -rf "$E2E_ARTIFACTS"
  mkdir -p "$E2E_ARTIFACTS"
  "$e2e_root/tests/wine/boot.sh"
  # Wine links the desktop folder to the host's home; links made by a test
  # belong inside the prefix.
  local desktop
  for desktop in "$E2E_DRIVE_C"/users/*/Desktop; do
    if [ -L "$desktop" ]; then rm "$desktop" && mkdir "$desktop"; fi
  done
  local display
  for display in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] || break
  done
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$E2E_ARTIFACTS/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  export DISPLAY=":$display"
  trap e2e_end EXIT
  local tries=0
  until xdpyinfo >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ "$tries" -lt 50 ] || { e2e_log "Xvfb did not start"; exit 1; }
    sleep 0.1
  done
  # One virtual desktop for every program of the case (and for the tool that
  # presses their buttons); e2e_end takes the setting away again.
  e2e_wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v "$E2E_DESKTOP" /d 1024x768 /f >/dev/null
  e2e_wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d "$E2E_DESKTOP" /f >/dev/null
  E2E_DESKTOP_SET=1
}

e2e_wine() {
  timeout "${E2E_TIMEOUT:-120}" "$VELASET_WINE" "$@"
}

e2e_start() {
  timeout "${E2E_TIMEOUT:-180}" "$VELASET_WINE" "$@" &
  E2E_PROGRAM_PID=$!
}

# The exit code of the program of e2e_start goes to $E2E_EXIT.
e2e_wait_exit() {
  E2E_EXIT=0
  wait "$E2E_PROGRAM_PID" || E2E_EXIT=$?
  E2E_PROGRAM_PID=""
}

e2e_shot() {
  import -display "$DISPLAY" -window root "$E2E_ARTIFACTS/$1.png" 2>/dev/null ||
    e2e_log "no screenshot $1"
}

e2e_fail() {
  e2e_shot failure
  e2e_log "FAILED: $*"
  exit 1
}

e2e_wait() {
  E2E_TEXTS=$(timeout 90 "$VELASET_WINE" "$E2E_WINCTL" wait "$1" "${2:-60}" | tr -d '\r') ||
    e2e_fail "no window \"$1\""
}

e2e_click() {
  E2E_TEXTS=$(timeout 90 "$VELASET_WINE" "$E2E_WINCTL" click "$1" "$2" "${3:-60}" | tr -d '\r') ||
    e2e_fail "cannot press \"$2\" in \"$1\""
}

e2e_expect_text() {
  grep -qxF -- "$1" <<<"$E2E_TEXTS" ||
    e2e_fail "window texts lack \"$1\"; they are: $E2E_TEXTS"
}

e2e_wait_file() {
  local tries=0 limit=$(( ${2:-30} * 5 ))
  until [ -e "$1" ]; do
    tries=$((tries + 1))
    [ "$tries" -lt "$limit" ] || return 1
    sleep 0.2
  done
}

e2e_x_window() {
  E2E_X_WINDOW=$(timeout "${2:-60}" xdotool search --sync --limit 1 --name "$1" 2>/dev/null) ||
    e2e_fail "no X window \"$1\""
}

# Keys reach a Wine window reliably only when it is active; sending them with
# --window is often ignored.
e2e_x_key() {
  timeout 30 xdotool windowactivate --sync "$E2E_X_WINDOW" >/dev/null 2>&1 || true
  timeout 30 xdotool key --delay 100 "$@"
}

e2e_press_return() {
  e2e_wait "$1" "${2:-60}"
  e2e_x_window "Wine desktop" 30
  e2e_x_key Return
  timeout 90 "$VELASET_WINE" "$E2E_WINCTL" gone "$1" 30 >/dev/null ||
    e2e_fail "Return did not close \"$1\""
}

# e2e_reg_query KEY [VALUE]: prints the key or value; fails when it does not exist.
e2e_reg_query() {
  local out
  if [ $# -gt 1 ]; then
    out=$(timeout 60 "$VELASET_WINE" reg query "$1" /v "$2" 2>/dev/null) || return 1
  else
    out=$(timeout 60 "$VELASET_WINE" reg query "$1" 2>/dev/null) || return 1
  fi
  tr -d '\r' <<<"$out"
}
