#!/usr/bin/env bash
# A signed package (its runtime signed too) installs by hand and uninstalls; the stub
# refuses a changed cabinet byte, bytes after the signature, a security directory that
# does not run from the cabinet's end (rounded up to 8) to the file's end, and
# certificate bytes that the header does not declare.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
e2e_begin signed
command -v osslsigncode >/dev/null || e2e_fail "osslsigncode is missing: run scripts/setup.sh"
folder="$E2E_PROGRAM_FILES/Demo"
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
cert="$E2E_ARTIFACTS/certificato.pem" key="$E2E_ARTIFACTS/chiave.pem"
openssl req -x509 -newkey rsa:2048 -keyout "$key" -out "$cert" -days 30 -subj "/CN=Velaset Prova" \
  -passout pass:segreto 2>/dev/null || e2e_fail "openssl could not make the test certificate"
VELASET_SIGN_PASSWORD=segreto e2e_build "$E2E_ARTIFACTS/Firmato.mip" "$exe" \
  --sign-cert "$cert" --sign-key "$key" --sign-description "Demo firmato" --sign-runtime
verify() { osslsigncode verify -CAfile "$cert" -in "$1" 2>&1 | grep -qx 'Succeeded'; }
verify "$exe" || e2e_fail "the signed package does not verify"
e2e_expect_tier_image "$exe"

# 1. Damaged and lengthened signed packages.
e2e_security_directory() { python3 "$e2e_here/security_directory.py" "$@"; }
read -r table table_size <<<"$(e2e_security_directory "$exe")"
cabinet_end=$((E2E_STUB_SIZE + $(od -An -tu4 -j $((E2E_STUB_SIZE + 8)) -N4 "$exe" | tr -d ' ')))
damaged() { # NAME: a copy of the signed package to damage
  cp "$exe" "$E2E_ARTIFACTS/$1_setup.exe"
  echo "$E2E_ARTIFACTS/$1_setup.exe"
}
e2e_flip_byte "$(damaged Flipped)" $((E2E_STUB_SIZE + (cabinet_end - E2E_STUB_SIZE) / 2))
! verify "$E2E_ARTIFACTS/Flipped_setup.exe" || e2e_fail "a changed cabinet still verifies"
printf 'Codice in coda' >>"$(damaged Appended)"
e2e_security_directory "$(damaged Moved)" $((table - 8)) $((table_size + 8))
e2e_security_directory "$(damaged Short)" "$table" $((table_size - 8))
e2e_security_directory "$(damaged Undeclared)" 0 0
head -c $((table + 8)) "$exe" >"$E2E_ARTIFACTS/Unsigned_setup.exe"
e2e_security_directory "$E2E_ARTIFACTS/Unsigned_setup.exe" 0 0

problem="Il programma di setup ha riscontrato un problema e sarà terminato."
e2e_expect_refused velaset-signed.log "Setup error: $problem" \
  "$E2E_ARTIFACTS"/{Flipped,Appended,Moved,Short,Undeclared,Unsigned}_setup.exe

# The same refusal in a window when the changed package is started by hand.
e2e_expect_stub_error "$E2E_ARTIFACTS/Flipped_setup.exe" "$problem" tampered-package
e2e_expect_absent "$folder"

# 2. The signed package installs by hand, as any other, and uninstalls completely.
row_hand="Installazione di Demo" row_final=Demo
row_texts=("Il programma verrà installato nella seguente cartella:")
row_present=("$folder/Demo.exe" "$folder/Leggimi con nome lungo.txt" "$E2E_HELP/Demo.hlp"
  "$E2E_PROGRAMS/Demo/Demo.lnk" "$E2E_DESKTOP_DIR/Demo.lnk")
row_started="$E2E_DRIVE_C/Demo_avviato.txt" row_entry="$E2E_UNINSTALL_KEY\\Demo"
row_gone=("$folder" "$E2E_HELP/Demo.hlp" "$E2E_PROGRAMS/Demo" "$E2E_DESKTOP_DIR/Demo.lnk")
row_gone_keys=('HKLM\Software\Velaset Demo' 'HKLM\Software\VelasetTest:Comp')
e2e_row_install "$exe"
e2e_expect_runtime_in "$E2E_SYSTEM"
verify "$(find "$E2E_SYSTEM" -maxdepth 1 -iname avviora.dll)" || e2e_fail "the installed runtime is not the signed one"
e2e_row_uninstall
rm -f "$row_started"
e2e_log "passed"
