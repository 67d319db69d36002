#!/usr/bin/env bash
# A full package of the worked-example kind, installed by pressing Return in
# each window (the setup dialog's default button is "Installa"): the files
# under their long names in their folders, the runtime, the registry and
# uninstall entries, the registered library, the links, the program started
# at the end, exit code 1 and no working files left. In the 64-bit tier all
# of it in the places of 64-bit programs: "Program Files", not "Program Files
# (x86)"; the 64-bit runtime in the 64-bit system folder; the registry entries
# in the 64-bit view, none in Wow6432Node. The package's cabinet is an LZX one
# (Compressione=LZX), which the system's expander unpacks as it unpacks MSZIP: the
# stub copies and checks the cabinet without regard to its method, and the other
# cases install MSZIP packages.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
e2e_begin install
exe="$E2E_ARTIFACTS/Demo_setup.exe"
E2E_LZX=1 e2e_demo_package "$exe"
[ "$(od -An -tx1 -j$((E2E_STUB_SIZE + 42)) -N1 "$exe" | tr -d ' ')" = 03 ] ||
  e2e_fail "the package's first folder is not an LZX one"
rm -f "$E2E_DRIVE_C/Demo_avviato.txt"

e2e_start "$exe"
e2e_wait "Installazione di Demo" 60
e2e_shot setup-dialog
for text in "Benvenuti" "Questo programma installa Demo." \
  "Il programma verrà installato nella seguente cartella:" 'C:\Program Files\Demo' \
  "Installa" "Annulla" "..." "Velaset"; do
  e2e_expect_text "$text"
done
e2e_press_return "Installazione di Demo"
e2e_press_return "Fine" 120
e2e_expect_text "Installazione completata con successo."
e2e_wait_exit
[ "$E2E_EXIT" -eq 1 ] || e2e_fail "exit code $E2E_EXIT, expected 1"

folder="$E2E_PROGRAM_FILES/Demo"
e2e_expect_present "$folder/Demo.exe" "$folder/Comp.ocx" "$folder/setup.inf" \
  "$E2E_HELP/Guida lunga.hlp"
cmp "$folder/Demo.exe" "$E2E_MARKER" && cmp "$folder/Comp.ocx" "$E2E_SELFREG" &&
  cmp "$E2E_HELP/Guida lunga.hlp" "$e2e_data/Guida lunga.hlp" ||
  e2e_fail "a file came out of the LZX cabinet changed"
e2e_expect_absent "$E2E_HELP/GUIDAL~1.HLP" "$E2E_PROGRAM_FILES_X86/Demo"
runtime=$(find "$E2E_SYSTEM" -maxdepth 1 -iname avviora.dll)
[ -n "$runtime" ] || e2e_fail "no avviora.dll in the system folder"
e2e_expect_tier_image "$runtime"
[ -z "$(find "$E2E_SYSTEM_WOW64" -maxdepth 1 -iname avviora.dll 2>/dev/null)" ] ||
  e2e_fail "avviora.dll went into the 32-bit system folder"
e2e_expect_tier_image "$folder/Comp.ocx"

# The installed script names the chosen folder (its short form) and the
# program to start inside it.
progdir=$(tr -d '\r' <"$folder/setup.inf" | sed -n 's/^PROGDIR=//p')
[[ "$progdir" == 'C:\'* && "$progdir" != PROGDIR ]] || e2e_fail "PROGDIR is \"$progdir\""
grep -qF "Run=$progdir\\Demo.exe" <(tr -d '\r' <"$folder/setup.inf") || e2e_fail "Run was not rewritten"

e2e_reg_query 'HKLM\Software\Demo' Versione | grep -q 'REG_SZ *1\.0$' || e2e_fail "registry entry missing"
e2e_expect_software_key 'Demo'
e2e_expect_software_key "Microsoft\Windows\CurrentVersion\Uninstall\Demo"
e2e_expect_software_key 'VelasetTest'
e2e_reg_query "$E2E_UNINSTALL_KEY\\Demo" DisplayName | grep -q 'Demo 1\.0$' || e2e_fail "no DisplayName"
e2e_reg_query "$E2E_UNINSTALL_KEY\\Demo" UninstallString |
  grep -qF "rundll32.exe avviora.dll,Disinstalla $progdir" || e2e_fail "no UninstallString"
e2e_reg_query 'HKLM\Software\VelasetTest' Comp | grep -q registrato || e2e_fail "Comp.ocx was not registered"

e2e_expect_present "$E2E_PROGRAMS/Demo/Demo.lnk" "$E2E_PROGRAMS/Demo/Disinstalla Demo.lnk" \
  "$E2E_DESKTOP_DIR/Demo.lnk"
e2e_link_mentions "$E2E_DESKTOP_DIR/Demo.lnk" 'Demo\Demo.exe' || e2e_fail "the desktop link does not start Demo.exe"
e2e_link_mentions "$E2E_PROGRAMS/Demo/Disinstalla Demo.lnk" "avviora.dll,Disinstalla $progdir" ||
  e2e_fail "the uninstall link does not run Disinstalla"

e2e_wait_file "$E2E_DRIVE_C/Demo_avviato.txt" 30 || e2e_fail "the program was not started"
grep -qixF 'C:\Program Files\Demo\Demo.exe' "$E2E_DRIVE_C/Demo_avviato.txt" ||
  e2e_fail "another program was started: $(cat "$E2E_DRIVE_C/Demo_avviato.txt")"
e2e_expect_no_working_files
e2e_log "passed"
