#!/usr/bin/env bash
# A full package of the worked-example kind, installed by pressing Return in each
# window (the setup dialog's default button is "Installa"): the files under their long
# names in their folders, the runtime, the registry and uninstall entries, the
# registered library, the links, the program started at the end, exit code 1 and no
# working files left. In the 64-bit tier all of it in the places of 64-bit programs:
# "Program Files", not "Program Files (x86)"; the 64-bit runtime in the 64-bit system
# folder; the registry entries in the 64-bit view, none in Wow6432Node. The package's
# cabinet is an LZX one (Compressione=LZX), which the system's expander unpacks as it
# unpacks MSZIP: the stub copies and checks the cabinet without regard to its method,
# and the other cases install MSZIP packages. Then its uninstall entry's command, as
# the Control Panel runs it: "No" changes nothing; "Yes" removes the files, the links,
# the registry entries and the library's registration.
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

# The installed script names the chosen folder (its short form) and the program to
# start inside it; the uninstall entry and link name that folder.
progdir=$(e2e_installed_progdir "$folder")
[[ "$progdir" == 'C:\'* && "$progdir" != PROGDIR ]] || e2e_fail "PROGDIR is \"$progdir\""
grep -qF "Run=$progdir\\Demo.exe" <(tr -d '\r' <"$folder/setup.inf") || e2e_fail "Run was not rewritten"
e2e_expect_value "$row_entry" UninstallString "REG_SZ *rundll32.exe avviora.dll,Disinstalla ${progdir//\\/\\\\}$"
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
