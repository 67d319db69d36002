#!/usr/bin/env bash
# The silent installation: "Setup.exe /S /D=FOLDER" installs without any
# window into the folder named (blanks allowed), shows no final message and
# starts no program, exit code 0; "Disinstalla /S" removes it without the
# question. A silent run that fails writes its messages to the /LOG= file
# and ends with exit code 1603.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
source "$(dirname "$0")/hostile_lib.sh"
e2e_begin silent
exe="$E2E_ARTIFACTS/Demo_setup.exe"
log="$E2E_DRIVE_C/velaset-silent.log"
e2e_demo_package "$exe"
rm -f "$E2E_DRIVE_C/Demo_avviato.txt" "$log"

chosen="$E2E_DRIVE_C/Cartella scelta/Demo"
e2e_run_silent "$exe" /S "/LOG=C:\\velaset-silent.log" '/D=C:\Cartella scelta\Demo'
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "exit code $E2E_EXIT, expected 0"
e2e_expect_present "$chosen/Demo.exe" "$chosen/Comp.ocx" "$chosen/setup.inf" \
  "$E2E_HELP/Guida lunga.hlp" "$E2E_PROGRAMS/Demo/Demo.lnk"
e2e_expect_absent "$E2E_PROGRAM_FILES/Demo" "$log"
e2e_reg_query 'HKLM\Software\VelasetTest' Comp | grep -q registrato || e2e_fail "Comp.ocx was not registered"
e2e_reg_query "$E2E_UNINSTALL_KEY\\Demo" UninstallString |
  grep -qF "Disinstalla $(e2e_installed_progdir "$chosen")" || e2e_fail "no UninstallString"
sleep 3
e2e_expect_absent "$E2E_DRIVE_C/Demo_avviato.txt"
e2e_expect_no_working_files

e2e_uninstall_demo_silently "$chosen"
! e2e_reg_query 'HKLM\Software\VelasetTest' Comp >/dev/null || e2e_fail "Comp.ocx is still registered"

# A folder that cannot be made: the message goes to the log, nothing is installed.
e2e_run_silent "$exe" /S "/LOG=C:\\velaset-silent.log" '/D=Q:\Non esiste\Demo'
[ "$E2E_EXIT" -eq 1603 ] || e2e_fail "impossible folder: exit code $E2E_EXIT, expected 1603"
grep -qxF "Setup: Il path indicato non è valio. Per favore scegliere un path valido..." \
  <(e2e_log_text "$log") || e2e_fail "log: $(e2e_log_text "$log")"
e2e_expect_absent "$E2E_PROGRAM_FILES/Demo" "$chosen"
! e2e_reg_query "$E2E_UNINSTALL_KEY\\Demo" >/dev/null || e2e_fail "an uninstall entry appeared"
e2e_expect_no_working_files
rm -f "$log"
e2e_log "passed"
