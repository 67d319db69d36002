#!/usr/bin/env bash
# A package for one user (Ambito=utente): its stub asks Windows for no
# administrator (the manifest's level asInvoker, the image of the same size); it
# installs silently into the user's programs folder with its runtime, links, long
# names, the uninstall entry and its registry entry under HKCU, and nothing under
# HKLM, the program-files folder or the system folder. Its uninstall (the command
# of the uninstall entry, silently) removes everything, the folder and the runtime
# in it too, once the uninstall has ended.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
source "$(dirname "$0")/hostile_lib.sh"
e2e_begin per_user
src="$E2E_ARTIFACTS/src"
mkdir -p "$src"
cp "$E2E_MARKER" "$src/Prog.exe"
echo "leggimi" >"$src/Leggimi lungo.txt"
project="$E2E_ARTIFACTS/Utente.mip"
exe="$E2E_ARTIFACTS/Utente_setup.exe"
v=$E2E_VELASET
"$v" new "$project" --title Utente >/dev/null &&
  "$v" set "$project" DefDir=Utente Ambito=utente Versione=3.1 "Editore=Rossi" >/dev/null &&
  "$v" add "$project" "$src/Prog.exe" "$src/Leggimi lungo.txt" >/dev/null &&
  "$v" link "$project" add Prog.exe Prog P >/dev/null &&
  "$v" link "$project" add Prog.exe Prog D >/dev/null &&
  "$v" reg "$project" add HKCU 'Software\VelasetUtente' Cartella '%PROGDIR%' >/dev/null ||
  e2e_fail "the project could not be made"
e2e_build "$project" "$exe"
[ "$(head -c "$E2E_STUB_SIZE" "$exe" | grep -a -c 'level="asInvoker"           />')" -eq 1 ] ||
  e2e_fail "the stub of the package still asks for an administrator"

runtimes_before=$(find "$E2E_SYSTEM" -maxdepth 1 -iname avviora.dll | wc -l)
folder="$(e2e_user_dir)/AppData/Local/Programs/Utente"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Utente'
e2e_run_silent "$exe" /S
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "exit code $E2E_EXIT, expected 0"
e2e_expect_present "$folder/Prog.exe" "$folder/Leggimi lungo.txt" \
  "$E2E_PROGRAMS/Utente/Prog.lnk" "$E2E_DESKTOP_DIR/Prog.lnk"
[ -n "$(find "$folder" -maxdepth 1 -iname avviora.dll)" ] || e2e_fail "no runtime in $folder"
e2e_expect_absent "$E2E_PROGRAM_FILES/Utente" "$E2E_PROGRAM_FILES_X86/Utente"
[ "$(find "$E2E_SYSTEM" -maxdepth 1 -iname avviora.dll | wc -l)" -eq "$runtimes_before" ] ||
  e2e_fail "the runtime went into the system folder"
e2e_reg_query "$key" DisplayVersion | grep -q 'REG_SZ *3.1$' || e2e_fail "no DisplayVersion under HKCU"
e2e_reg_query "$key" InstallLocation | grep -q 'Programs\\Utente$' || e2e_fail "no InstallLocation"
e2e_reg_query 'HKCU\Software\VelasetUtente' Cartella >/dev/null || e2e_fail "no HKCU entry"
! e2e_reg_query "$E2E_UNINSTALL_KEY\\Utente" >/dev/null || e2e_fail "an uninstall entry under HKLM"
! e2e_reg_query 'HKCU\Software\Microsoft\Windows\CurrentVersion\RenameFiles\SplashD' >/dev/null ||
  e2e_fail "the long-name key is left"
e2e_expect_no_working_files

# The uninstall entry's own command, silently.
command=$(e2e_reg_query "$key" UninstallString | sed -n 's/.*REG_SZ *//p')
read -r program entry progdir <<<"$command"
[ "$program" = rundll32.exe ] && [[ "$entry" == *'\avviora.dll,Disinstalla' ]] ||
  e2e_fail "unexpected UninstallString \"$command\""
e2e_run_silent rundll32.exe "$entry" /S "$progdir"
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "uninstall: exit code $E2E_EXIT"
for second in $(seq 30); do
  [ -e "$folder" ] || break
  sleep 1
done
e2e_expect_absent "$folder" "$E2E_PROGRAMS/Utente" "$E2E_DESKTOP_DIR/Prog.lnk"
for gone in "$key" 'HKCU\Software\VelasetUtente'; do
  ! e2e_reg_query "$gone" >/dev/null || e2e_fail "$gone is still there"
done
e2e_log "passed"
