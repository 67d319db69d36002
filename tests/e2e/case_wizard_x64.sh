#!/usr/bin/env bash
# The box "Pacchetto a 64 bit (x64)": an x64 package from the wizard, the bytes that
# velaset-cli.exe builds from the saved project (installed x64 packages: the other
# cases); opened again the box is ticked and a 32-bit library to register is refused;
# unticked, an x86 package; Versione, Editore and Ambito from the same page.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
source "$(dirname "$0")/wizard_lib.sh"
e2e_begin wizard_x64
wiz_install
src="$E2E_DRIVE_C/e2e/x64"
rm -rf "$src" "$WIZ_APP/Demo64.exe" "$WIZ_APP/Demo64.mip"
mkdir -p "$src"
cp "$E2E_MARKER" "$src/Demo.exe"
printf 'Leggimi\r\n' > "$src/Leggimi lungo.txt"
# The headers of a 32-bit library: all the builder reads of a library to register.
{ printf 'MZ'; head -c 58 /dev/zero; printf '\x40\x00\x00\x00PE\x00\x00\x4c\x01'; head -c 200 /dev/zero; } \
  > "$src/Vecchia.dll"
touch -d '2024-05-01 10:00:00' "$src"/*
# packed_runtime MACHINE STUB_SIZE: the package's cabinet follows a stub of that size
# and the runtime in it is an image for that machine.
packed_runtime() {
  tail -c +$(($2 + 1)) "$exe" > "$E2E_ARTIFACTS/setup.cab"
  rm -rf "$E2E_ARTIFACTS/cab"
  cabextract -q -d "$E2E_ARTIFACTS/cab" "$E2E_ARTIFACTS/setup.cab" || e2e_fail "no cabinet after the stub"
  [ "$(e2e_pe_machine "$E2E_ARTIFACTS/cab/avviora.dll")" = "$1" ] || e2e_fail "the packed runtime is not $1"
}
stub32_size=$(e2e_stub_size STUB_IMAGE_SIZE)
stub64_size=$(e2e_stub_size STUB64_IMAGE_SIZE)

# A new project with two files, no program group, to the page of the settings.
wiz_start
wiz_next
wiz_type "Demo64"
wiz_key Tab
wiz_expect $IDC_TXT_TITOLO "Demo64"
wiz_next
wiz_set $IDC_TXT_DEF_DIR "Demo64"
wiz_add 'C:\e2e\x64\Demo.exe' 'C:\e2e\x64\Leggimi lungo.txt'
wiz_next
wiz_press $IDC_CHK_GROUP # no program group, no links
wiz_next
wiz_next
wiz_next
[ "$(wiz_heading)" = "Impostazioni eseguibile e progetto" ] || e2e_fail "page 6 not shown"
[ "$(wiz checked "$WIZ_TITLE" $IDC_CHK_X64)" = 0 ] || e2e_fail "a new project is an x64 one"
wiz_press $IDC_CHK_X64
[ "$(wiz checked "$WIZ_TITLE" $IDC_CHK_X64)" = 1 ] || e2e_fail "the x64 box did not tick"
wiz_next
wiz_next
wiz_box "Il file DEMO64.EXE è stato creato!"
wiz_expect $IDC_LABEL22 "Creazione terminata"
wiz_quit

exe="$WIZ_APP/Demo64.exe"
[ -f "$exe" ] || e2e_fail "no setup executable"
grep -q $'^Architettura=x64\r$' "$WIZ_APP/Demo64.mip" || e2e_fail "the project does not say x64"
cmp -n "$stub64_size" "$exe" "$WIZ_BIN/x64/Avviora64.exe" ||
  e2e_fail "the package does not start with Avviora64.exe"
packed_runtime 8664 "$stub64_size"

wiz_expect_cli_bytes Demo64

# Opened again, the project is an x64 one; a 32-bit library to register is refused,
# and the package built before stays as it was.
cp "$exe" "$E2E_ARTIFACTS/before-refusal.exe"
wiz_start 'C:\Velaset\Demo64.mip'
wiz_next
wiz_next
wiz_add 'C:\e2e\x64\Vecchia.dll'
wiz_register 2
[ "$(wiz items "$WIZ_TITLE" $IDC_LST_DEST | tr '\n' ' ')" = "D D D* " ] || e2e_fail "Vecchia.dll not marked"
wiz_next
wiz_next
wiz_next
wiz_next
[ "$(wiz checked "$WIZ_TITLE" $IDC_CHK_X64)" = 1 ] || e2e_fail "the opened project is not an x64 one"
wiz_next
wiz_next
wiz_box "La libreria da registrare C:\\e2e\\x64\\Vecchia.dll è a 32 bit (x86): un pacchetto x64 (64 bit) la registrerebbe con regsvr32 a 64 bit, che non può caricarla. Usare la sua versione a 64 bit o creare un pacchetto x86 (32 bit)."
wiz_expect $IDC_LABEL22 "Creazione fallita"
e2e_shot refused_x86_library
wiz_quit
cmp "$exe" "$E2E_ARTIFACTS/before-refusal.exe" || e2e_fail "the refused build changed the package"
grep -q $'^NumFile=2\r$' "$WIZ_APP/Demo64.mip" || e2e_fail "the refused build saved the project"

# Unticked, the package is an x86 one, and the project file says so. On the same
# page a version out of its form is refused; a good one, a publisher and the box of a
# package for the user go into the project and the package.
wiz_start 'C:\Velaset\Demo64.mip'
for _ in 1 2 3 4 5 6; do wiz_next; done
[ "$(wiz checked "$WIZ_TITLE" $IDC_CHK_X64)" = 1 ] || e2e_fail "the project is no longer an x64 one"
wiz_press $IDC_CHK_X64
wiz_set $IDC_TXT_VERSIONE "2.0 beta"
wiz_next
wiz_box "Il campo Versione può contenere solo da uno a quattro numeri separati da punti (per esempio 1.2 o 2.0.1.15)."
wiz_set $IDC_TXT_VERSIONE "2.0"
wiz_set $IDC_TXT_EDITORE "Rossi"
wiz_press $IDC_CHK_UTENTE
e2e_shot page6_package_keys
wiz_next
wiz_next
wiz_box "Il file DEMO64.EXE è stato creato!"
wiz_quit
for line in Architettura=x86 Versione=2.0 Editore=Rossi Ambito=utente; do
  grep -q "^$line"$'\r$' "$WIZ_APP/Demo64.mip" || e2e_fail "the project does not say $line"
done
[ "$(e2e_pe_machine "$exe")" = 014c ] || e2e_fail "the package does not start with Avviora.exe"
packed_runtime 014c "$stub32_size"
e2e_log "passed"
