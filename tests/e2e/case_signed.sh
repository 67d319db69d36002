#!/usr/bin/env bash
# A signed package (its runtime signed too), with a certificate made here: it
# verifies, installs by hand and uninstalls; the installed runtime carries its
# signature. What the stub refuses, with its failure message, exit code 0 and
# nothing installed: a signed package with one byte of its cabinet changed,
# one with bytes appended after the signature, ones whose security directory
# does not run exactly from the cabinet's end (rounded up to 8) to the file's
# end, and certificate bytes behind the cabinet that the header does not
# declare. In the 64-bit tier the package is an x64 package (e2e_signed_build).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
source "$(dirname "$0")/hostile_lib.sh"
e2e_begin signed
command -v osslsigncode >/dev/null || e2e_fail "osslsigncode is missing: run scripts/setup.sh"
folder="$E2E_PROGRAM_FILES/Demo"
log="$E2E_DRIVE_C/velaset-signed.log"
exe="$E2E_ARTIFACTS/Firmato_setup.exe"

# The example project over the tier's test programs.
payload="$E2E_ARTIFACTS/payload"
mkdir -p "$payload"
cp "$E2E_MARKER" "$payload/Demo.exe"
cp "$E2E_SELFREG" "$payload/DemoReg.dll"
cp "$e2e_data/Guida lunga.hlp" "$payload/Demo.hlp"
echo "Leggimi" >"$payload/Leggimi con nome lungo.txt"
"$e2e_root/examples/demo/make_project.sh" "$E2E_VELASET" "$payload" "$E2E_ARTIFACTS/Firmato.mip" \
  "$exe" >/dev/null || e2e_fail "the project could not be made"
e2e_test_certificate
e2e_signed_build "$E2E_ARTIFACTS/Firmato.mip" "$exe"
verify() { osslsigncode verify -CAfile "$E2E_CERT" -in "$1" 2>&1 | grep -qx 'Succeeded'; }
verify "$exe" || e2e_fail "the signed package does not verify"
e2e_expect_tier_image "$exe"

# 1. Damaged and lengthened signed packages.
size=$(stat -c %s "$exe")
read -r table table_size <<<"$(e2e_security_directory "$exe")"
cabinet_end=$((E2E_STUB_SIZE + $(od -An -tu4 -j $((E2E_STUB_SIZE + 8)) -N4 "$exe" | tr -d ' ')))
[ "$table" -eq $(((cabinet_end + 7) / 8 * 8)) ] && [ $((table + table_size)) -eq "$size" ] ||
  e2e_fail "unexpected layout: cabinet to $cabinet_end, table $table+$table_size, file $size"
damaged() { # NAME: a copy of the signed package to damage
  cp "$exe" "$E2E_ARTIFACTS/$1_setup.exe"
  echo "$E2E_ARTIFACTS/$1_setup.exe"
}
middle=$((E2E_STUB_SIZE + (cabinet_end - E2E_STUB_SIZE) / 2))
byte=$(od -An -tu1 -j "$middle" -N1 "$exe" | tr -d ' ')
printf "\\$(printf '%03o' $((byte ^ 0x55)))" |
  dd of="$(damaged Flipped)" bs=1 seek="$middle" conv=notrunc status=none
! verify "$E2E_ARTIFACTS/Flipped_setup.exe" || e2e_fail "a changed cabinet still verifies"
printf 'Codice in coda' >>"$(damaged Appended)"
e2e_set_security_directory "$(damaged Moved)" $((table - 8)) $((table_size + 8))
e2e_set_security_directory "$(damaged Short)" "$table" $((table_size - 8))
e2e_set_security_directory "$(damaged Undeclared)" 0 0
head -c $((table + 8)) "$exe" >"$E2E_ARTIFACTS/Unsigned_setup.exe"
e2e_set_security_directory "$E2E_ARTIFACTS/Unsigned_setup.exe" 0 0

problem="Setup error: Il programma di setup ha riscontrato un problema e sarà terminato."
for name in Flipped Appended Moved Short Undeclared Unsigned; do
  rm -f "$log"
  e2e_run_silent "$E2E_ARTIFACTS/${name}_setup.exe" /S "/LOG=C:\\velaset-signed.log"
  [ "$E2E_EXIT" -eq 1603 ] || e2e_fail "$name: exit code $E2E_EXIT, expected 1603"
  grep -qxF "$problem" <(e2e_log_text "$log") || e2e_fail "$name: log: $(e2e_log_text "$log")"
  e2e_expect_absent "$folder"
  e2e_expect_no_working_files
done
rm -f "$log"

# The same refusal in a window when the changed package is started by hand.
e2e_start "$E2E_ARTIFACTS/Flipped_setup.exe"
e2e_wait "Setup error" 60
e2e_shot tampered-package
e2e_click "Setup error" "OK" 60
e2e_expect_text "Il programma di setup ha riscontrato un problema e sarà terminato."
e2e_wait_exit
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "changed package by hand: exit code $E2E_EXIT, expected 0"
e2e_expect_absent "$folder"

# 2. The signed package installs by hand, as any other.
rm -f "$E2E_DRIVE_C/Demo_avviato.txt"
e2e_start "$exe"
e2e_wait "Installazione di Demo" 60
e2e_shot setup-dialog
e2e_expect_text "Il programma verrà installato nella seguente cartella:"
e2e_press_return "Installazione di Demo"
e2e_press_return "Demo" 120
e2e_expect_text "Installazione completata con successo."
e2e_wait_exit
[ "$E2E_EXIT" -eq 1 ] || e2e_fail "exit code $E2E_EXIT, expected 1"
e2e_expect_present "$folder/Demo.exe" "$folder/Leggimi con nome lungo.txt" "$E2E_HELP/Demo.hlp" \
  "$E2E_PROGRAMS/Demo/Demo.lnk" "$E2E_DESKTOP_DIR/Demo.lnk"
e2e_reg_query 'HKLM\Software\VelasetTest' Comp | grep -q registrato || e2e_fail "DemoReg.dll was not registered"
e2e_wait_file "$E2E_DRIVE_C/Demo_avviato.txt" 30 || e2e_fail "the program was not started"
e2e_expect_no_working_files
runtime=$(find "$E2E_SYSTEM" -maxdepth 1 -iname avviora.dll)
[ -n "$runtime" ] && verify "$runtime" || e2e_fail "the installed runtime is not the signed one"
e2e_expect_tier_image "$runtime"

# 3. And uninstalls completely.
progdir=$(e2e_installed_progdir "$folder")
e2e_run_silent rundll32.exe avviora.dll,Disinstalla /S "$progdir"
e2e_expect_absent "$folder" "$E2E_HELP/Demo.hlp" "$E2E_PROGRAMS/Demo" "$E2E_DESKTOP_DIR/Demo.lnk"
! e2e_reg_query "$E2E_UNINSTALL_KEY\\Demo" >/dev/null || e2e_fail "the uninstall entry is still there"
! e2e_reg_query 'HKLM\Software\Velaset Demo' >/dev/null || e2e_fail "the registry entry is still there"
! e2e_reg_query 'HKLM\Software\VelasetTest' Comp >/dev/null || e2e_fail "DemoReg.dll is still registered"
e2e_remove_runtime
rm -f "$E2E_DRIVE_C/Demo_avviato.txt"
e2e_log "passed"
