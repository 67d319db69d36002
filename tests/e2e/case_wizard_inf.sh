#!/usr/bin/env bash
# "Crea solo file inf" writes only the script; "Modifica file inf" waits for the editor
# (a test editor beside the wizard stands in for Notepad) and packs the edited script.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wizard_lib.sh"
e2e_begin wizard_inf
wiz_install
mkdir -p "$E2E_DRIVE_C/e2e/inf"
printf 'x\r\n' > "$E2E_DRIVE_C/e2e/inf/app.txt"
temp=$(ls -d "$E2E_DRIVE_C"/users/*/Temp | head -1)
find "$temp" -name setup.inf -delete 2>/dev/null || true

# Walks a minimal project from page 0 to the last page.
walk() {
  wiz_next
  wiz_next
  wiz_add 'C:\e2e\inf\app.txt'
  wiz_next
  wiz_press $IDC_CHK_GROUP # no program group, no links
  wiz_next
  wiz_next
  wiz_next
  wiz_next
  [ "$(wiz_get $IDC_LABEL22)" = "Creazione pacchetto di installazione" ] ||
    e2e_fail "not on the last page"
}

wiz_start
wiz_mouse_click $IDC_IMG_ICO # the options take the picture's place
[ "$(wiz visible "$WIZ_TITLE" $IDC_CHK_INF)" = 1 ] || e2e_fail "options not shown"
wiz_press $IDC_CHK_INF
e2e_shot options
walk
wiz_next
for i in $(seq 50); do
  [ "$(wiz_get $IDC_LABEL22)" = "Creazione INF terminata" ] && break
  sleep 0.2
done
wiz_expect $IDC_LABEL22 "Creazione INF terminata"
e2e_shot inf_only
script=$(find "$temp" -name setup.inf | head -1)
[ -n "$script" ] || e2e_fail "no setup.inf in $temp"
grep -q '^\[Version\]' "$script" || e2e_fail "setup.inf is not a script"
[ ! -e "$WIZ_APP/Nuovo Progetto.exe" ] || e2e_fail "a setup executable was made"
[ -f "$WIZ_APP/Nuovo Progetto.mip" ] || e2e_fail "the project was not saved"

# "&Fine": a new project on page 0; now with the editor.
wiz_click "&Fine"
[ "$(wiz enabled "$WIZ_TITLE" $IDC_CMD_BACK)" = 0 ] || e2e_fail "not back on page 0"
cp "$E2E_EDITOR" "$WIZ_APP/notepad.exe"
wiz_press $IDC_CHK_INF
wiz_press $IDC_CHK_MOD
walk
wiz_next
wiz_box "Il file NUOVO PROGETTO.EXE è stato creato!"
[ -f "$WIZ_APP/Nuovo Progetto.exe" ] || e2e_fail "no setup executable"
# The script inside the package carries the editor's line.
tail -c +14337 "$WIZ_APP/Nuovo Progetto.exe" > "$E2E_ARTIFACTS/setup.cab"
cabextract -q -d "$E2E_ARTIFACTS/cab" "$E2E_ARTIFACTS/setup.cab" || e2e_fail "no cabinet"
grep -q '; edited in the editor' "$E2E_ARTIFACTS/cab/setup.inf" ||
  e2e_fail "the packed script lacks the edit"
wiz_quit
e2e_log "passed"
