#!/usr/bin/env bash
# A project named on the command line whose file has gone: one box tells it and asks
# before anything can save over the project; No opens nothing, Yes opens the project
# without the file. The project file stays as it was either way.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wizard_lib.sh"
e2e_begin wizard_lost
wiz_install
dir="$E2E_DRIVE_C/e2e/perso"
rm -rf "$dir"
mkdir -p "$dir"
printf 'x\r\n' > "$dir/resta.txt"
printf '[Progetto]\r\nTitolo=Perso\r\nCaption=Perso\r\nEtic1A=Benvenuti\r\nEtic2A=Perso\r\nDefDir=Perso\r\nNumFile=2\r\nGruppo=0\r\nNumLink=0\r\nDlgEnd=0\r\nLabelControl=Perso\r\nExeFile=C:\\e2e\\perso\\Perso.exe\r\nProgFile=C:\\e2e\\perso\\Perso.mip\r\n[Files]\r\n1=C:\\e2e\\perso\\resta.txt,D\r\n2=C:\\e2e\\perso\\manca.txt,D\r\n[Chiavi]\r\nNumChiavi=0\r\n' > "$dir/Perso.mip"
cp "$dir/Perso.mip" "$dir/copia.mip"

# asked ANSWER: starts the wizard on the project and answers its box.
asked() {
  e2e_start 'C:\Velaset\Velaset.exe' 'C:\e2e\perso\Perso.mip'
  local texts
  texts=$(wiz wait "Velaset" 60) || e2e_fail "no box about the missing file"
  grep -qxF -- '- C:\e2e\perso\manca.txt: il file non esiste' <<<"$texts" ||
    e2e_fail "the box does not name the file: $texts"
  grep -qxF 'Aprire il progetto senza di esse?' <<<"$texts" || e2e_fail "no question: $texts"
  e2e_shot "lost_$1"
  wiz click "Velaset" "$1" 10 || e2e_fail "cannot answer $1"
  wiz wait "$WIZ_TITLE" 60 >/dev/null || e2e_fail "the wizard did not open"
  sleep 0.5
}

asked "&No"
[ -z "$(wiz_get $IDC_LBL_CARICA)" ] || e2e_fail "a project was opened after No"
wiz_next
wiz_box "Devi selezionare un file di installazione."
wiz_quit
cmp -s "$dir/Perso.mip" "$dir/copia.mip" || e2e_fail "the project file changed after No"

asked "&Yes"
grep -q 'Perso.mip$' <<<"$(wiz_get $IDC_LBL_CARICA)" || e2e_fail "not opened after Yes"
wiz_next
wiz_next
files=$(wiz items "$WIZ_TITLE" $IDC_LST_FILES)
[ "$files" = 'C:\e2e\perso\resta.txt' ] || e2e_fail "files after Yes: $files"
wiz_quit
cmp -s "$dir/Perso.mip" "$dir/copia.mip" || e2e_fail "opening changed the project file"
e2e_log "passed"
