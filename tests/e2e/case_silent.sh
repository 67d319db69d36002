#!/usr/bin/env bash
# "Setup.exe /S /D=FOLDER" installs without any window, starts no program; a failing
# one writes its messages to the /LOG= file and ends with 1603.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
e2e_begin silent
exe="$E2E_ARTIFACTS/Demo_setup.exe"
log="$E2E_DRIVE_C/velaset-silent.log"
e2e_demo_package "$exe"
rm -f "$E2E_DRIVE_C/Demo_avviato.txt" "$log"

chosen="$E2E_DRIVE_C/Cartella scelta/Demo"
row_options=("/LOG=C:\\velaset-silent.log" '/D=C:\Cartella scelta\Demo')
row_present=("$chosen/Demo.exe" "$chosen/Comp.ocx" "$chosen/setup.inf" "$E2E_HELP/Guida lunga.hlp"
  "$E2E_PROGRAMS/Demo/Demo.lnk")
row_absent=("$E2E_PROGRAM_FILES/Demo" "$log")
row_values=('HKLM\Software\VelasetTest|Comp|registrato')
row_entry="$E2E_UNINSTALL_KEY\\Demo"
row_gone=("$chosen" "$E2E_HELP/Guida lunga.hlp" "$E2E_PROGRAMS/Demo" "$E2E_DESKTOP_DIR/Demo.lnk")
row_gone_keys=('HKLM\Software\Demo' 'HKLM\Software\VelasetTest:Comp')
e2e_row_install "$exe"
sleep 3
e2e_expect_absent "$E2E_DRIVE_C/Demo_avviato.txt"
e2e_row_uninstall

# A folder that cannot be made: the message goes to the log, nothing is installed.
e2e_run_silent "$exe" /S "/LOG=C:\\velaset-silent.log" '/D=Q:\Non esiste\Demo'
[ "$E2E_EXIT" -eq 1603 ] || e2e_fail "impossible folder: exit code $E2E_EXIT, expected 1603"
grep -qxF "Setup: Il path indicato non è valio. Per favore scegliere un path valido..." \
  <(e2e_log_text "$log") || e2e_fail "log: $(e2e_log_text "$log")"
e2e_expect_absent "$E2E_PROGRAM_FILES/Demo" "$chosen"
e2e_expect_no_key "$E2E_UNINSTALL_KEY\\Demo"
e2e_expect_no_working_files
rm -f "$log"
e2e_log "passed"
