#!/usr/bin/env bash
# Every page refuses to move on with its own message while a required field is empty.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wizard_lib.sh"
e2e_begin wizard_refusals
wiz_install
mkdir -p "$E2E_DRIVE_C/e2e/rif"
printf 'x\r\n' > "$E2E_DRIVE_C/e2e/rif/app.txt"

# Refuses the page change with message, then checks that the page stayed.
refused() {
  local heading
  heading=$(wiz_heading)
  wiz_next
  wiz_box "$1"
  [ "$(wiz_heading)" = "$heading" ] || e2e_fail "the page changed after \"$1\""
}

wiz_start
wiz_press $IDC_OPTION2
refused "Devi selezionare un file di installazione."
wiz_press $IDC_OPTION1
wiz_next

wiz_set $IDC_TXT_ETIC1A ""
refused "Devi inserire tutte le etichette."
wiz_set $IDC_TXT_ETIC1A " "  # blanks count as filled in
wiz_next

wiz_set $IDC_TXT_DEF_DIR ""
refused "Devi inserire una directory per l'installazione."
wiz_set $IDC_TXT_DEF_DIR "App"
refused "Devi selezionare i files da installare."
wiz_add 'C:\e2e\rif\app.txt'
wiz_next

wiz_set $IDC_TXT_GRUPPO ""
refused "Devi immettere un nome per il gruppo da creare."
wiz_set $IDC_TXT_GRUPPO "Gruppo"
refused "Devi selezionare i file di cui creare il collegamento."
wiz_press $IDC_CHK_GROUP # "Crea il gruppo di programmi" off: the page passes
wiz_next

wiz_set $IDC_TXT_ETIC_B ""
refused "Devi inserire tutti le voci."
wiz_set $IDC_TXT_ETIC_B "Fatto."
wiz_set $IDC_TXT_UNINSTALL ""
refused "Devi inserire l'etichetta per la disinstallazione nel pannello di controllo."
e2e_shot refusal_page4
wiz_set $IDC_TXT_UNINSTALL "App 1.0"
# Without a program group the uninstall icon is dropped without a word.
wiz_press $IDC_CHK_UNINSTALL
[ "$(wiz checked "$WIZ_TITLE" $IDC_CHK_UNINSTALL)" = 1 ] || e2e_fail "uninstall icon not ticked"
wiz_next
[ "$(wiz_heading)" = "Voci di registro e file da lanciare" ] || e2e_fail "page 4 did not pass"
wiz_back
[ "$(wiz checked "$WIZ_TITLE" $IDC_CHK_UNINSTALL)" = 0 ] || e2e_fail "uninstall icon still ticked"
wiz_next
# A launch without a file is dropped the same way.
wiz_press $IDC_CHK_LAUNCH
wiz_next
[ "$(wiz_heading)" = "Impostazioni eseguibile e progetto" ] || e2e_fail "page 5 did not pass"
wiz_back
[ "$(wiz checked "$WIZ_TITLE" $IDC_CHK_LAUNCH)" = 0 ] || e2e_fail "launch still ticked"
wiz_quit
e2e_log "passed"
