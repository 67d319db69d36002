#!/usr/bin/env bash
# A distribution-only package (background window, no browse button): no runtime, no
# uninstall entry, no installed script.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
e2e_begin distribution
exe="$E2E_ARTIFACTS/Dist_setup.exe"
e2e_package "$exe" "$E2E_MARKER:Dist.exe" "$e2e_data/Leggimi lungo.txt:LEGGIM~1.TXT" \
  "$e2e_data/dist.inf:setup.inf"
# A package installed earlier in the same prefix may have left the runtime; this
# one must neither bring it nor write over it (the change time would move).
runtime() { find "$E2E_SYSTEM" -maxdepth 1 -iname avviora.dll -exec stat -c '%n %Z %s' {} \; ; }
runtime_before=$(runtime)

e2e_start "$exe"
e2e_wait "Dist 2.0 - Installazione" 60
e2e_wait "Installazione di Dist" 60
e2e_shot background-window
grep -qxF "..." <<<"$E2E_TEXTS" && e2e_fail "the browse button is shown although Browse=0"
e2e_expect_text 'C:\Program Files\Dist'
e2e_click "Installazione di Dist" "Installa"
e2e_wait_exit
[ "$E2E_EXIT" -eq 1 ] || e2e_fail "exit code $E2E_EXIT, expected 1"

folder="$E2E_PROGRAM_FILES/Dist"
e2e_expect_present "$folder/Dist.exe" "$folder/Leggimi lungo.txt"
e2e_expect_absent "$folder/LEGGIM~1.TXT" "$folder/setup.inf" "$E2E_PROGRAM_FILES_X86/Dist"
[ "$(runtime)" = "$runtime_before" ] || e2e_fail "the runtime was installed"
e2e_expect_no_key "$E2E_UNINSTALL_KEY\\Dist"
e2e_expect_value 'HKLM\Software\Dist' Versione 'REG_SZ *2\.0$'
e2e_expect_software_key 'Dist'
e2e_wait_file "$E2E_DRIVE_C/Dist_avviato.txt" 30 || e2e_fail "the program was not started"
e2e_expect_no_working_files
e2e_log "passed"
