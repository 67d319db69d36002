#!/usr/bin/env bash
# The example package of `make demo` (build/Demo.exe; win64: build/Demo64.exe, the x64
# one; lzx: the same project built with "--compression lzx") installed by hand and
# uninstalled through its UninstallString, as the Control Panel runs it.
#   install_demo_test.sh [win32|win64] [lzx]
export VELASET_WINE_ARCH=${1:-win32}
lzx=${2:-}
source "$(dirname "$0")/lib.sh"
# The packages exactly as `make demo` makes them from the programs of this build.
bash "$e2e_root/scripts/demo.sh" >/dev/null 2>&1 || { echo "e2e: make demo failed" >&2; exit 1; }
source "$(dirname "$0")/packages.sh"

e2e_begin demo_install${lzx:+_lzx}
demo=Demo
[ "$VELASET_WINE_ARCH" = win32 ] || demo=Demo64
if [ -n "$lzx" ]; then
  "$e2e_root/build/bin/velaset" build "$e2e_root/build/demo/$demo.mip" --compression lzx \
    -o "$E2E_ARTIFACTS/DemoSetup.exe" --quiet || e2e_fail "the LZX build of $demo.mip failed"
  [ "$(stat -c %s "$E2E_ARTIFACTS/DemoSetup.exe")" -lt "$(stat -c %s "$e2e_root/build/$demo.exe")" ] ||
    e2e_fail "the LZX package is not smaller than the MSZIP one"
else
  cp "$e2e_root/build/$demo.exe" "$E2E_ARTIFACTS/DemoSetup.exe"
fi
export VELASET_DEMO_MARKER='C:\demo-started.txt'
folder="$E2E_PROGRAM_FILES/Demo"
e2e_expect_absent "$folder"

row_hand="Installazione di Demo" row_final=Demo row_ask="Installazione di Demo"
row_texts=("Benvenuti nell'installazione di Demo" "Il programma verrà installato nella seguente cartella:")
row_present=("$folder/Demo.exe" "$folder/Leggimi con nome lungo.txt" "$folder/DemoReg.dll"
  "$folder/setup.inf" "$E2E_HELP/Demo.hlp" "$E2E_PROGRAMS/Demo/Demo.lnk"
  "$E2E_PROGRAMS/Demo/Disinstalla Demo.lnk" "$E2E_DESKTOP_DIR/Demo.lnk")
row_absent=("$folder/LEGGIM~1.TXT" "$E2E_PROGRAM_FILES_X86/Demo")
row_entry="$E2E_UNINSTALL_KEY\\Demo"
row_values=('HKCU\Software\Velaset Demo|Registrata|REG_SZ *1$' "$row_entry|DisplayName|REG_SZ *Demo 1.0$")
row_links=("$E2E_DESKTOP_DIR/Demo.lnk|Demo.exe")
row_started="$E2E_DRIVE_C/demo-started.txt"
row_gone=("$folder" "$E2E_HELP/Demo.hlp" "$E2E_PROGRAMS/Demo" "$E2E_DESKTOP_DIR/Demo.lnk")
row_gone_keys=('HKLM\Software\Velaset Demo' 'HKCU\Software\Velaset Demo')
e2e_row_install "$E2E_ARTIFACTS/DemoSetup.exe"
e2e_expect_runtime_in "$E2E_SYSTEM"
grep -qi 'Demo\\Demo.exe$' "$row_started" ||
  e2e_fail "the program started is not the installed one: $(cat "$row_started")"
cartella=$(e2e_reg_query 'HKLM\Software\Velaset Demo' Cartella | sed -n 's/.*REG_SZ *//p')
[[ "$cartella" == C:\\* && "$cartella" == *\\Demo ]] ||
  e2e_fail "the registry entry does not hold the installation folder: \"$cartella\""
e2e_expect_software_key 'Velaset Demo'
e2e_row_uninstall
e2e_log "passed"
