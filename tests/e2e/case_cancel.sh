#!/usr/bin/env bash
# The folder browser gives the chosen folder the package's sub-folder; "Annulla" ends
# with exit code 2, nothing installed.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
e2e_begin cancel
exe="$E2E_ARTIFACTS/Demo_setup.exe"
e2e_demo_package "$exe"

e2e_start "$exe"
e2e_x_window "Wine desktop" 60
e2e_click "Installazione di Demo" "..." 60
# The browser opens on the desktop, its root; OK picks it.
e2e_click "Browse for Folder" "OK" 30
e2e_expect_text "Selezionare la cartella dove installare il programma:"
e2e_wait "Installazione di Demo" 30
user=$(basename "$(e2e_user_dir)")
e2e_expect_text "C:\users\\$user\Desktop\Demo"
e2e_click "Installazione di Demo" "Annulla" 60
e2e_click "Setup" "OK" 60
e2e_expect_text "L'installazione del programma è stata interrotta!"
e2e_wait_exit
[ "$E2E_EXIT" -eq 2 ] || e2e_fail "exit code $E2E_EXIT, expected 2"
e2e_expect_absent "$E2E_PROGRAM_FILES/Demo" "$E2E_DESKTOP_DIR/Demo" "$E2E_HELP/Guida lunga.hlp" \
  "$E2E_HELP/GUIDAL~1.HLP"
! e2e_reg_query "$E2E_UNINSTALL_KEY\\Demo" >/dev/null || e2e_fail "an uninstall entry was written"
e2e_expect_no_working_files
e2e_log "passed"
