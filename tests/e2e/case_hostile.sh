#!/usr/bin/env bash
# A script planted in C:\~Vudi\ is never run (a read-only setup.inf there stops the
# run); a cut package, a changed cabinet byte, a cabinet without its script are refused.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
e2e_begin hostile
folder="$E2E_PROGRAM_FILES/Demo"
log="$E2E_DRIVE_C/velaset-hostile.log"
planted_key='HKLM\Software\VelasetPiantato'
exe="$E2E_ARTIFACTS/Demo_setup.exe"
e2e_demo_package "$exe"
e2e_expect_absent "$folder"

plant() { # plant NAME: a script that would leave a registry key behind
  mkdir -p "$E2E_DRIVE_C/~Vudi"
  printf '%s\r\n' '[Version]' 'Signature="$CHICAGO$"' '[DefaultInstall]' 'AddReg=Piantato' \
    '[Piantato]' "HKLM,Software\\VelasetPiantato,Eseguito,,\"$1\"" >"$E2E_DRIVE_C/~Vudi/$1"
}

# 1. Planted scripts, one named before setup.inf and one after it.
plant aaa.inf
plant zzz.inf
e2e_run_silent "$exe" /S
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "planted scripts: exit code $E2E_EXIT, expected 0"
! e2e_reg_query "$planted_key" >/dev/null || e2e_fail "a planted script was run"
e2e_expect_present "$folder/Demo.exe" "$E2E_HELP/Guida lunga.hlp"
e2e_expect_no_working_files
e2e_uninstall_demo_silently "$folder"

# 2. A planted setup.inf that the stub cannot remove: nothing is run.
plant setup.inf
timeout 60 "$VELASET_WINE" cmd /c attrib +r 'C:\~Vudi\setup.inf' >/dev/null 2>&1 || e2e_fail "attrib failed"
rm -f "$log"
e2e_run_silent "$exe" /S "/LOG=C:\\velaset-hostile.log"
[ "$E2E_EXIT" -eq 1603 ] || e2e_fail "read-only planted script: exit code $E2E_EXIT, expected 1603"
! e2e_reg_query "$planted_key" >/dev/null || e2e_fail "the planted setup.inf was run"
e2e_expect_absent "$folder/Demo.exe"
grep -qxF "Setup error: L'installazione ha riscontrato un errore e verrà terminata!" \
  <(e2e_log_text "$log") || e2e_fail "log: $(e2e_log_text "$log")"
chmod -R u+w "$E2E_DRIVE_C/~Vudi" && rm -rf "$E2E_DRIVE_C/~Vudi"
e2e_expect_no_working_files

# 3. Damaged packages.
size=$(stat -c %s "$exe")
head -c $((size - 100)) "$exe" >"$E2E_ARTIFACTS/Cut_setup.exe"
cp "$exe" "$E2E_ARTIFACTS/Flipped_setup.exe"
e2e_flip_byte "$E2E_ARTIFACTS/Flipped_setup.exe" $((E2E_STUB_SIZE + (size - E2E_STUB_SIZE) / 2))
e2e_package "$E2E_ARTIFACTS/NoScript_setup.exe" "$E2E_MARKER:Demo.exe" \
  "$e2e_data/leggimi.txt:leggimi.txt"

problem="Il programma di setup ha riscontrato un problema e sarà terminato."
e2e_expect_refused velaset-hostile.log "Setup error: $problem" "$E2E_ARTIFACTS/Cut_setup.exe" \
  "$E2E_ARTIFACTS/Flipped_setup.exe"
e2e_expect_refused velaset-hostile.log "Setup: Installazione annullata" "$E2E_ARTIFACTS/NoScript_setup.exe"
e2e_expect_absent "$E2E_PROGRAM_FILES/Demo.exe" "$E2E_PROGRAM_FILES/leggimi.txt"

# The same failure in a window when the package is started by hand.
e2e_expect_stub_error "$E2E_ARTIFACTS/Flipped_setup.exe" "$problem" damaged-package
e2e_expect_absent "$folder"
e2e_log "passed"
