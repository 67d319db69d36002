#!/usr/bin/env bash
# The uninstall of the installed Demo package through its UninstallString,
# as the Control Panel runs it: "No" changes nothing; "Yes" removes the
# files, the links, the registry entries and the library's registration.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
e2e_begin uninstall
folder="$E2E_PROGRAM_FILES/Demo"
e2e_expect_present "$folder/setup.inf"
command=$(e2e_reg_query "$E2E_UNINSTALL_KEY\\Demo" UninstallString | sed -n 's/.*REG_SZ *//p')
[ -n "$command" ] || e2e_fail "no UninstallString"
e2e_log "running: $command"

read -ra words <<<"$command"
e2e_start "${words[@]}"
e2e_wait "Installazione di Demo" 60
e2e_shot uninstall-question
e2e_click "Installazione di Demo" "No" 60
e2e_expect_text "Vuoi disinstallare questo programma dal tuo computer?"
e2e_wait_exit
e2e_expect_present "$folder/Demo.exe" "$E2E_HELP/Guida lunga.hlp" "$E2E_DESKTOP_DIR/Demo.lnk"
e2e_reg_query 'HKLM\Software\Demo' Versione | grep -q '1\.0$' || e2e_fail "\"No\" removed the registry entry"

e2e_start "${words[@]}"
e2e_click "Installazione di Demo" "Yes" 60
e2e_wait_exit
e2e_expect_absent "$folder" "$E2E_HELP/Guida lunga.hlp" "$E2E_HELP/GUIDAL~1.HLP" \
  "$E2E_PROGRAMS/Demo" "$E2E_DESKTOP_DIR/Demo.lnk"
! e2e_reg_query 'HKLM\Software\Demo' >/dev/null || e2e_fail "HKLM\\Software\\Demo is still there"
! e2e_reg_query "$E2E_UNINSTALL_KEY\\Demo" >/dev/null || e2e_fail "the uninstall entry is still there"
! e2e_reg_query 'HKLM\Software\VelasetTest' Comp >/dev/null || e2e_fail "Comp.ocx is still registered"
e2e_remove_runtime
e2e_log "passed"
