#!/usr/bin/env bash
# A temporary folder whose path has blanks and "ò" (a profile "Niccolò Rossi"): the
# stub works there, and so does the uninstall.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
e2e_begin temp_folder
exe="$E2E_ARTIFACTS/Demo_setup.exe"
e2e_demo_package "$exe"

# The user's temporary folder, which Windows takes from the user's environment
# in the registry; the old one comes back when the case ends.
temp_windows='C:\Dati di Niccolò\Temp con spazi'
temp="$E2E_DRIVE_C/Dati di Niccolò/Temp con spazi"
rm -rf "$E2E_DRIVE_C/Dati di Niccolò"
mkdir -p "$temp"
for name in TEMP TMP; do
  old=$(e2e_reg_query 'HKCU\Environment' "$name" | sed -n "s/^ *$name *\\(REG_[A-Z_]*\\) */\\1 /p")
  [ -n "$old" ] || e2e_fail "no $name in HKCU\\Environment"
  e2e_on_end "$VELASET_WINE" reg add 'HKCU\Environment' /v "$name" /t "${old%% *}" /d "${old#* }" /f
  e2e_wine reg add 'HKCU\Environment' /v "$name" /d "$temp_windows" /f >/dev/null
done
[ "$(e2e_wine cmd /c 'echo %TEMP%' | tr -d '\r' | iconv -f CP1252 -t UTF-8)" = "$temp_windows" ] ||
  e2e_fail "the temporary folder was not set"

folder="$E2E_PROGRAM_FILES/Demo"
row_hand="Installazione di Demo" row_final=Fine
row_texts=("Questo programma installa Demo." 'C:\Program Files\Demo')
row_open_present=("$temp/setup~1.cab")
row_present=("$folder/Demo.exe" "$folder/Comp.ocx" "$E2E_HELP/Guida lunga.hlp" "$E2E_PROGRAMS/Demo/Demo.lnk")
row_absent=("$temp/setup~1.cab" "$temp/setup.inf")
row_started="$E2E_DRIVE_C/Demo_avviato.txt"
e2e_row_install "$exe"

# The uninstall works from a copy of the script in the same temporary folder.
e2e_uninstall_demo_silently "$folder"
[ -z "$(find "$temp" -iname 'avv*.tmp')" ] || e2e_fail "the uninstall left its copy of the script"
e2e_log "passed"
