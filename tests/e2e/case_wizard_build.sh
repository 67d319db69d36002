#!/usr/bin/env bash
# A project made in the wizard from start to build, the package equal to velaset-cli's
# from the saved project (in the 64-bit tier an x64 one, of 64-bit programs).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
source "$(dirname "$0")/wizard_lib.sh"
e2e_begin wizard_build
wiz_install
src="$E2E_DRIVE_C/e2e/src"
rm -rf "$E2E_DRIVE_C/e2e"
mkdir -p "$src/uno" "$src/due"
cp "$E2E_MARKER" "$src/uno/Demo.exe"
cp "$E2E_SELFREG" "$src/uno/Comp.ocx"
printf 'Leggimi\r\n' > "$src/uno/Documento lungo.txt"
printf 'Altro\r\n' > "$src/due/Documento lungo.txt"
touch -d '2024-05-01 10:00:00' "$src"/uno/* "$src"/due/*

wiz_start
wiz_next
[ "$(wiz_heading)" = "Titolo e schermata di avvio" ] || e2e_fail "page 1 not shown"
wiz_expect $IDC_TXT_TITOLO "Nuovo Progetto"
# The title field has the focus with its text selected: typing replaces it, and
# leaving the field carries the new title into the other texts.
wiz_type "Demo"
wiz_key Tab
wiz_expect $IDC_TXT_TITOLO "Demo"
wiz_expect $IDC_TXT_CAPTION_A "Demo"
wiz_expect $IDC_TXT_ETIC1A "Benvenuti nell'installazione di Demo"
wiz_next

[ "$(wiz_heading)" = "Files da installare" ] || e2e_fail "page 2 not shown"
wiz_add 'C:\e2e\src\uno\Demo.exe' 'C:\e2e\src\uno\Comp.ocx' 'C:\e2e\src\uno\Documento lungo.txt'
# The same long name in another folder has the same short name.
wiz_add 'C:\e2e\src\due\Documento lungo.txt'
wiz_box "I seguenti files:"
files=$(wiz items "$WIZ_TITLE" $IDC_LST_FILES)
[ "$(wc -l <<<"$files")" = 3 ] || e2e_fail "files list: $files"
# Comp.ocx into the system folder, registered at installation.
wiz_register 1 2
codes=$(wiz items "$WIZ_TITLE" $IDC_LST_DEST | tr '\n' ' ')
[ "$codes" = "D S* D " ] || e2e_fail "destination codes: $codes"
wiz_next

[ "$(wiz_heading)" = "Collegamenti e gruppo" ] || e2e_fail "page 3 not shown"
wiz_click "Nuovo Link"
wiz wait "Velaset - Nuovo link" 20 >/dev/null || e2e_fail "no link dialog"
wiz select "Velaset - Nuovo link" $IDC_LINK_FILE 0
sleep 0.3
[ "$(wiz get "Velaset - Nuovo link" $IDC_LINK_NAME)" = "Demo" ] || e2e_fail "no proposed link name"
e2e_shot link_dialog
wiz click "Velaset - Nuovo link" "&Salva" 5
wiz gone "Velaset - Nuovo link" 10
[ "$(wiz items "$WIZ_TITLE" $IDC_LST_LINK1)" = "Demo" ] || e2e_fail "link not listed"
wiz_next

[ "$(wiz_heading)" = "Fine installazione" ] || e2e_fail "page 4 not shown"
wiz_click "Altri messaggi del programma"
wiz wait "Messaggi generali del programma" 20 >/dev/null || e2e_fail "no messages dialog"
wiz set "Messaggi generali del programma" $IDC_MSG_STOP "Installazione annullata."
e2e_shot message_dialog
wiz click "Messaggi generali del programma" "OK" 5
wiz gone "Messaggi generali del programma" 10
wiz_next

[ "$(wiz_heading)" = "Voci di registro e file da lanciare" ] || e2e_fail "page 5 not shown"
wiz_click "Aggiungi voce"
keyreg="Velaset - Aggiungi voce nel registro di configurazione"
wiz wait "$keyreg" 20 >/dev/null || e2e_fail "no registry dialog"
wiz set "$keyreg" $IDC_KEY_SUBKEY 'Software\Demo'
wiz press "$keyreg" $IDC_KEY_CUSTOM_NAME 5
sleep 0.3
wiz set "$keyreg" $IDC_KEY_NAME "Path"
wiz set "$keyreg" $IDC_KEY_VALUE "%PROGDIR%"
e2e_shot keyreg_dialog
wiz click "$keyreg" "OK" 5
wiz gone "$keyreg" 10 || e2e_fail "the registry dialog did not close"
entry=$(wiz items "$WIZ_TITLE" $IDC_LST_REG_CONF)
[ "$entry" = 'HKLM,Software\Demo,"Path",,"%PROGDIR%"' ] || e2e_fail "registry entry: $entry"
wiz_next

[ "$(wiz_heading)" = "Impostazioni eseguibile e progetto" ] || e2e_fail "page 6 not shown"
wiz_expect $IDC_TXT_EXE 'C:\Velaset\Demo.exe'
wiz_expect $IDC_TXT_PROGETTO 'C:\Velaset\Demo.mip'
if [ "$VELASET_WINE_ARCH" = win64 ]; then
  wiz_press $IDC_CHK_X64
  [ "$(wiz checked "$WIZ_TITLE" $IDC_CHK_X64)" = 1 ] || e2e_fail "the x64 box did not tick"
fi
wiz_next
wiz_expect $IDC_LABEL22 "Creazione pacchetto di installazione"
wiz_next
wiz_box "Il file DEMO.EXE è stato creato!"
wiz_expect $IDC_LABEL22 "Creazione terminata"
e2e_shot page7_built
[ "$(wiz enabled "$WIZ_TITLE" $IDC_CMD_FINISH)" = 1 ] || e2e_fail "&Fine is not enabled"
wiz_quit

[ -f "$WIZ_APP/Demo.exe" ] || e2e_fail "no setup executable"
[ -f "$WIZ_APP/Demo.mip" ] || e2e_fail "no project file"
grep -q '^Titolo=Demo' "$WIZ_APP/Demo.mip" || e2e_fail "project title not saved"
grep -q 'Stop=Installazione annullata.' "$WIZ_APP/Demo.mip" || e2e_fail "message not saved"
e2e_expect_tier_image "$WIZ_APP/Demo.exe"

wiz_expect_cli_bytes Demo
cp "$WIZ_APP/Demo.mip" "$WIZ_APP/Demo.exe" "$E2E_ARTIFACTS/"
# The opening case takes the saved project from here.
cp "$WIZ_APP/Demo.mip" "$E2E_DRIVE_C/e2e/Demo.mip"
e2e_log "passed"
