# Helpers of the wizard's end-to-end cases, sourced after lib.sh. The wizard of the
# tier's tree (VELASET_WINE_ARCH: the 32-bit or the 64-bit Velaset.exe) runs from
# C:\Velaset with the cabinet library and both setup runtimes beside it (the x64 one in
# its x64 folder); its windows are driven by winctl (titles, button texts, control
# numbers of builder/win32/resource.h) and the keyboard through xdotool.
WIZ_TITLE="Velaset - Creatore di pacchetti di installazione"
WIZ_APP="$E2E_DRIVE_C/Velaset"
WIZ_BIN="$e2e_root/build/bin/$VELASET_WINE_ARCH"

# The control numbers, read from the wizard's own resource header (IDC_... variables).
eval "$(sed -n 's/^#define \(IDC_[A-Z0-9_]*\) \+\([0-9]\+\)$/\1=\2/p' "$e2e_root/builder/win32/resource.h")"
[ -n "${IDC_LST_FILES:-}" ] || { echo "e2e: no control numbers in builder/win32/resource.h" >&2; exit 1; }

wiz() { timeout 60 "$VELASET_WINE" "$E2E_WINCTL" "$@" | tr -d '\r'; }

# A fresh application folder with the wizard and what it needs beside it.
wiz_install() {
  rm -rf "$WIZ_APP"
  mkdir -p "$WIZ_APP"
  cp "$WIZ_BIN/Velaset.exe" "$WIZ_BIN/velaset.htm" "$WIZ_BIN/Compress.dll" \
     "$WIZ_BIN/avviora.dll" "$WIZ_APP/"
  mkdir -p "$WIZ_APP/x64"
  cp "$WIZ_BIN/x64/avviora.dll" "$WIZ_APP/x64/"
}

# wiz_expect_cli_bytes NAME: the tier's velaset-cli.exe, in a folder of its own with what
# it needs, builds C:\Velaset\NAME.mip into the bytes of the wizard's NAME.exe.
wiz_expect_cli_bytes() {
  local cli="$E2E_DRIVE_C/VelasetCli"
  rm -rf "$cli"
  mkdir -p "$cli/x64"
  cp "$WIZ_BIN/velaset-cli.exe" "$WIZ_BIN/Avviora.exe" "$WIZ_BIN/Compress.dll" \
     "$WIZ_BIN/avviora.dll" "$cli/"
  cp "$WIZ_BIN/x64/Avviora64.exe" "$WIZ_BIN/x64/avviora.dll" "$cli/x64/"
  e2e_wine 'C:\VelasetCli\velaset-cli.exe' build "C:\\Velaset\\$1.mip" -o "C:\\VelasetCli\\$1.exe" --quiet ||
    e2e_fail "velaset-cli.exe could not build the project"
  cmp "$WIZ_APP/$1.exe" "$cli/$1.exe" || e2e_fail "the wizard's and velaset-cli.exe's $1.exe differ"
}

wiz_start() {
  e2e_start 'C:\Velaset\Velaset.exe' "$@"
  wiz wait "$WIZ_TITLE" 60 >/dev/null || e2e_fail "the wizard did not open"
  sleep 0.5
}

wiz_get() { wiz get "$WIZ_TITLE" "$1"; }
wiz_set() { wiz set "$WIZ_TITLE" "$1" "$2" || e2e_fail "cannot set control $1"; }
wiz_press() { wiz press "$WIZ_TITLE" "$1" 10 || e2e_fail "cannot press control $1"; sleep 0.3; }
wiz_click() { wiz click "$WIZ_TITLE" "$1" 10 || e2e_fail "cannot press \"$1\""; sleep 0.4; }
wiz_next() { wiz_click "&Avanti >"; }
wiz_back() { wiz_click "< &Indietro"; }

# The heading of the page shown (empty on pages 0 and 7).
wiz_heading() { wiz get "$WIZ_TITLE" $IDC_LBL_SCRN_TITLE; }

wiz_expect() {
  local got
  got=$(wiz_get "$1")
  [ "$got" = "$2" ] || e2e_fail "control $1 shows \"$got\", expected \"$2\""
}

# Waits for the wizard's message box, checks that one of its lines is TEXT and
# closes it with BUTTON (default OK).
wiz_box() {
  local texts
  texts=$(wiz wait "Velaset" 20) || e2e_fail "no message box \"$1\""
  grep -qxF -- "$1" <<<"$texts" || e2e_fail "box lacks \"$1\": $texts"
  wiz click "Velaset" "${2:-OK}" 10 || e2e_fail "cannot close the box"
  wiz gone "Velaset" 10 || true
  sleep 0.3
}

# wiz_add PATH...: each file through "&Aggiungi" and the open dialog.
wiz_add() {
  local path
  for path in "$@"; do
    wiz_click "&Aggiungi"
    wiz wait "Aggiungi File" 30 >/dev/null || e2e_fail "no file dialog"
    wiz file "Aggiungi File" "$path" 10 || e2e_fail "cannot choose $path"
    wiz gone "Aggiungi File" 20 || e2e_fail "the file dialog stayed open"
    sleep 0.3
  done
}

# wiz_register INDEX [CODE]: the file INDEX of the list to register, in the destination
# of the item CODE of the destination dialog (unchanged without it).
wiz_register() {
  local dialog="Velaset - Destinazione file"
  wiz select "$WIZ_TITLE" $IDC_LST_FILES "$1"
  sleep 0.3
  wiz_click "&Modifica dest."
  wiz wait "$dialog" 20 >/dev/null || e2e_fail "no destination dialog"
  if [ -n "${2:-}" ]; then
    wiz select "$dialog" $IDC_DEST_CODE "$2"
    sleep 0.3
  fi
  wiz press "$dialog" $IDC_DEST_REGISTRA 5
  sleep 0.3
  e2e_shot dest_dialog
  wiz click "$dialog" "OK" 5
  wiz gone "$dialog" 10
}

# Types text on the keyboard into the control that has the focus.
wiz_type() {
  local desktop
  desktop=$(xdotool search --name "Wine desktop" | head -1)
  [ -n "$desktop" ] && xdotool windowfocus --sync "$desktop" 2>/dev/null || true
  xdotool type --delay 30 -- "$1"
}
wiz_key() { xdotool key --delay 50 "$@"; }

# A click of the left mouse button in the middle of a control (the virtual desktop
# fills the screen, so window coordinates are screen coordinates).
wiz_mouse_click() {
  local rect
  rect=$(wiz rect "$WIZ_TITLE" "$1") || e2e_fail "no control $1"
  read -r left top right bottom <<<"$rect"
  xdotool mousemove --sync $(( (left + right) / 2 )) $(( (top + bottom) / 2 )) click 1
  sleep 0.4
}

wiz_quit() {
  wiz_click "&Esci"
  wiz_box "Vuoi uscire da Velaset?" "&Yes"
  e2e_wait_exit
}
