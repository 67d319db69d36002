#!/usr/bin/env bash
# Version 1 installs silently into a folder of its own, with the values Apps & Features
# shows, and again repairs it; version 2 by hand proposes that folder and leaves nothing
# that only version 1 had; version 1 over it is refused silently (1602) and asked about
# by hand; one uninstall leaves nothing of either.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
e2e_begin upgrade
src="$E2E_ARTIFACTS/src"
mkdir -p "$src"
cp "$E2E_MARKER" "$src/Prog.exe"
cp "$E2E_SELFREG" "$src/Comp.ocx"
for name in a.txt b.txt "Vecchio lungo.txt" "Nuovo lungo.txt" Up.hlp; do
  echo "$name" >"$src/$name"
done
log="$E2E_DRIVE_C/velaset-upgrade.log"
key="$E2E_UNINSTALL_KEY\\Up"
folder="$E2E_DRIVE_C/Su/Up"

# version FILE.mip VERSION [add FILE DEST | link NAME P|D | reg KEY NAME]...: the project
# of one version; a DEST ending in "*" registers the library.
version() {
  local project=$1 number=$2 v="$E2E_VELASET"
  shift 2
  "$v" new "$project" --title Up >/dev/null &&
    "$v" set "$project" DefDir=Up "Caption=Installazione di Up" "Versione=$number" \
      "Editore=Rossi & Figli 100%" >/dev/null &&
    "$v" add "$project" "$src/Prog.exe" >/dev/null &&
    "$v" link "$project" add Prog.exe Prog P >/dev/null || e2e_fail "project $number"
  while [ $# -gt 0 ]; do
    case $1 in
      add) if [[ $3 == *'*' ]]; then
             "$v" add "$project" "$2" --dest "${3%\*}" --register >/dev/null
           else
             "$v" add "$project" "$2" --dest "$3" >/dev/null
           fi ;;
      link) "$v" link "$project" add Prog.exe "$2" "$3" >/dev/null ;;
      reg) "$v" reg "$project" add HKLM "$2" "$3" "$number" >/dev/null ;;
    esac || e2e_fail "project $number: $1 $2"
    shift 3
  done
}
version "$E2E_ARTIFACTS/Up1.mip" 1.0 add "$src/a.txt" D add "$src/Vecchio lungo.txt" D \
  add "$src/Up.hlp" H add "$src/Comp.ocx" 'D*' link Vecchio D \
  reg 'Software\VelasetUp' Uno reg 'Software\VelasetUpVecchia' A
version "$E2E_ARTIFACTS/Up2.mip" 2.0 add "$src/b.txt" D add "$src/Nuovo lungo.txt" D \
  link Nuovo P reg 'Software\VelasetUp' Due
"$E2E_VELASET" set "$E2E_ARTIFACTS/Up1.mip" SitoWeb=https://example.org/up%20pagina >/dev/null
e2e_build "$E2E_ARTIFACTS/Up1.mip" "$E2E_ARTIFACTS/Up1.exe"
e2e_build "$E2E_ARTIFACTS/Up2.mip" "$E2E_ARTIFACTS/Up2.exe"
# Its winget manifests name the package by its SHA-256.
"$E2E_VELASET" winget "$E2E_ARTIFACTS/Up2.mip" --package "$E2E_ARTIFACTS/Up2.exe" \
  --url https://example.org/Up2.exe -o "$E2E_ARTIFACTS/winget" >/dev/null || e2e_fail "velaset winget"
sha=$(sha256sum "$E2E_ARTIFACTS/Up2.exe" | cut -c1-64)
grep -qx "  InstallerSha256: ${sha^^}" "$E2E_ARTIFACTS/winget/Rossi&Figli100%.Up.installer.yaml" ||
  e2e_fail "the installer manifest does not name the package's SHA-256"

# 1. Version 1, silently, into a folder of its own; again, after a file went: repaired.
for round in install repair; do
  e2e_run_silent "$E2E_ARTIFACTS/Up1.exe" /S '/D=C:\Su\Up'
  [ "$E2E_EXIT" -eq 0 ] || e2e_fail "version 1 ($round): exit code $E2E_EXIT"
  e2e_expect_present "$folder/Prog.exe" "$folder/a.txt" "$folder/Vecchio lungo.txt" \
    "$E2E_HELP/Up.hlp" "$E2E_PROGRAMS/Up/Prog.lnk" "$E2E_DESKTOP_DIR/Vecchio.lnk"
  rm "$folder/a.txt"
done
echo "a.txt" >"$folder/a.txt"
progdir=$(e2e_installed_progdir "$folder")
for value in "DisplayVersion REG_SZ 1.0" "Publisher REG_SZ Rossi & Figli 100%" \
  "URLInfoAbout REG_SZ https://example.org/up%20pagina" "InstallLocation REG_SZ C:\\Su\\Up" \
  "DisplayIcon REG_SZ C:\\windows\\system32\\avviora.dll" "NoModify REG_DWORD 0x1" "NoRepair REG_DWORD 0x1" \
  "EstimatedSize REG_DWORD 0x" "UninstallString REG_SZ rundll32.exe avviora.dll,Disinstalla $progdir"; do
  read -r name type text <<<"$value"
  [[ "$(e2e_reg_query "$key" "$name" | sed -n "s/^ *$name *$type *//p")" == "$text"* ]] ||
    e2e_fail "$name is not $type $text: $(e2e_reg_query "$key" "$name")"
done
e2e_reg_query 'HKLM\Software\VelasetTest' Comp >/dev/null || e2e_fail "Comp.ocx is not registered"

# 2. Version 2 by hand: the installed folder is proposed.
e2e_start "$E2E_ARTIFACTS/Up2.exe"
e2e_wait "Installazione di Up" 60
e2e_expect_text 'C:\Su\Up'
e2e_click "Installazione di Up" "Installa"
e2e_click "Up" "OK" 120
e2e_wait_exit
[ "$E2E_EXIT" -eq 1 ] || e2e_fail "version 2: exit code $E2E_EXIT, expected 1"
e2e_expect_present "$folder/Prog.exe" "$folder/b.txt" "$folder/Nuovo lungo.txt" \
  "$E2E_PROGRAMS/Up/Prog.lnk" "$E2E_PROGRAMS/Up/Nuovo.lnk"
e2e_expect_absent "$folder/a.txt" "$folder/Vecchio lungo.txt" "$folder/Comp.ocx" "$E2E_HELP/Up.hlp" \
  "$E2E_DESKTOP_DIR/Vecchio.lnk" "$E2E_PROGRAM_FILES/Up"
e2e_expect_no_key 'HKLM\Software\VelasetUp:Uno' 'HKLM\Software\VelasetUpVecchia' \
  'HKLM\Software\VelasetTest:Comp' "$key:URLInfoAbout"
e2e_expect_value 'HKLM\Software\VelasetUp' Due REG_SZ
e2e_expect_value "$key" DisplayVersion 'REG_SZ *2.0$'
e2e_expect_no_working_files

# 3. Version 1 over version 2: refused silently, and by hand when the answer is the default.
rm -f "$log"
e2e_run_silent "$E2E_ARTIFACTS/Up1.exe" /S "/LOG=C:\\velaset-upgrade.log"
[ "$E2E_EXIT" -eq 1602 ] || e2e_fail "older version, silently: exit code $E2E_EXIT, expected 1602"
refusal="Setup: È installata la versione 2.0 di Up, più recente di questa (1.0)."
grep -qxF "$refusal L'installazione non è stata eseguita." <(e2e_log_text "$log") ||
  e2e_fail "log: $(e2e_log_text "$log")"
e2e_start "$E2E_ARTIFACTS/Up1.exe"
e2e_click "Installazione di Up" "Installa" 60
e2e_press_return "Installazione di Up" 120
e2e_expect_text "${refusal#Setup: }"
e2e_expect_text "Installare comunque la versione 1.0?"
e2e_click "Setup" "OK" 60
e2e_expect_text "L'installazione del programma è stata interrotta!"
e2e_wait_exit
[ "$E2E_EXIT" -eq 2 ] || e2e_fail "older version, by hand: exit code $E2E_EXIT, expected 2"
e2e_expect_present "$folder/b.txt"
e2e_expect_absent "$folder/a.txt"
e2e_reg_query "$key" DisplayVersion | grep -q 'REG_SZ *2.0$' || e2e_fail "version 2 was touched"
e2e_expect_no_working_files

# 4. One uninstall: nothing of either version.
row_entry=$key row_gone=("$folder" "$E2E_PROGRAMS/Up" "$E2E_DESKTOP_DIR/Vecchio.lnk")
row_gone_keys=('HKLM\Software\VelasetUp' 'HKLM\Software\VelasetUpVecchia')
e2e_row_uninstall
rm -f "$log"
e2e_log "passed"
