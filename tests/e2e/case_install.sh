#!/usr/bin/env bash
# A full package, its cabinet an LZX one (the other cases install MSZIP ones), installed
# by pressing Return in each window; in the 64-bit tier everything in the places of
# 64-bit programs. Then its uninstall entry's command: "No" changes nothing, "Yes"
# removes everything.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
e2e_begin install
exe="$E2E_ARTIFACTS/Demo_setup.exe"
E2E_LZX=1 e2e_demo_package "$exe"
[ "$(od -An -tx1 -j$((E2E_STUB_SIZE + 42)) -N1 "$exe" | tr -d ' ')" = 03 ] ||
  e2e_fail "the package's first folder is not an LZX one"

folder="$E2E_PROGRAM_FILES/Demo"
row_hand="Installazione di Demo" row_final=Fine
row_texts=("Benvenuti" "Questo programma installa Demo." 'C:\Program Files\Demo' "Installa"
  "Il programma verrà installato nella seguente cartella:" "Annulla" "..." "Velaset")
row_present=("$folder/setup.inf" "$E2E_PROGRAMS/Demo/Demo.lnk" "$E2E_PROGRAMS/Demo/Disinstalla Demo.lnk")
row_same=("$folder/Demo.exe|$E2E_MARKER" "$folder/Comp.ocx|$E2E_SELFREG"
  "$E2E_HELP/Guida lunga.hlp|$e2e_data/Guida lunga.hlp")
row_absent=("$E2E_HELP/GUIDAL~1.HLP" "$E2E_PROGRAM_FILES_X86/Demo")
row_values=('HKLM\Software\Demo|Versione|REG_SZ *1\.0$' "$E2E_UNINSTALL_KEY\\Demo|DisplayName|Demo 1\.0$"
  'HKLM\Software\VelasetTest|Comp|registrato')
row_links=("$E2E_DESKTOP_DIR/Demo.lnk|Demo\Demo.exe")
row_started="$E2E_DRIVE_C/Demo_avviato.txt" row_started_by='C:\Program Files\Demo\Demo.exe'
row_entry="$E2E_UNINSTALL_KEY\\Demo" row_ask="Installazione di Demo"
row_gone=("$folder" "$E2E_HELP/Guida lunga.hlp" "$E2E_PROGRAMS/Demo" "$E2E_DESKTOP_DIR/Demo.lnk")
row_gone_keys=('HKLM\Software\Demo' 'HKLM\Software\VelasetTest:Comp')
e2e_row_install "$exe"
e2e_expect_runtime_in "$E2E_SYSTEM"
e2e_expect_tier_image "$folder/Comp.ocx"
for key in Demo 'Microsoft\Windows\CurrentVersion\Uninstall\Demo' VelasetTest; do
  e2e_expect_software_key "$key"
done

# The installed script names the chosen folder and the program to start inside it.
progdir=$(e2e_installed_progdir "$folder")
[[ "$progdir" == 'C:\'* && "$progdir" != PROGDIR ]] || e2e_fail "PROGDIR is \"$progdir\""
grep -qF "Run=$progdir\\Demo.exe" <(tr -d '\r' <"$folder/setup.inf") || e2e_fail "Run was not rewritten"
e2e_link_mentions "$E2E_PROGRAMS/Demo/Disinstalla Demo.lnk" "avviora.dll,Disinstalla $progdir" ||
  e2e_fail "the uninstall link does not run Disinstalla"

# "No" to the uninstall's question changes nothing.
e2e_start rundll32.exe avviora.dll,Disinstalla "$progdir"
e2e_wait "Installazione di Demo" 60
e2e_shot uninstall-question
e2e_click "Installazione di Demo" "No" 60
e2e_expect_text "Vuoi disinstallare questo programma dal tuo computer?"
e2e_wait_exit
e2e_expect_present "$folder/Demo.exe" "$E2E_HELP/Guida lunga.hlp" "$E2E_DESKTOP_DIR/Demo.lnk"
e2e_expect_value 'HKLM\Software\Demo' Versione '1\.0$'
e2e_row_uninstall
e2e_log "passed"
