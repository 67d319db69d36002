#!/usr/bin/env bash
# A cabinet without a setup script: the missing files reported, exit code 0, no working
# files; the stub image alone is stopped before its dialog.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
e2e_begin no_script
exe="$E2E_ARTIFACTS/NoScript_setup.exe"
e2e_package "$exe" "$E2E_MARKER:Demo.exe" "$e2e_data/leggimi.txt:leggimi.txt"
cp "$E2E_STUB" "$E2E_ARTIFACTS/Bare_setup.exe"

e2e_start "$exe"
# Without a script the dialog has no title and no texts of its own.
e2e_click "" "Installa" 60
e2e_click "Setup" "OK" 60
e2e_shot missing-files
e2e_expect_text "Installazione annullata"
e2e_expect_text "Mancano dei files necessari all'installazione (code: 0002)"
e2e_wait_exit
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "$exe: exit code $E2E_EXIT, expected 0"
e2e_expect_no_working_files

e2e_expect_stub_error "$E2E_ARTIFACTS/Bare_setup.exe" \
  "Il programma di setup ha riscontrato un problema e sarà terminato."
e2e_log "passed"
