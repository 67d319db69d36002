#!/usr/bin/env bash
# End to end under Wine, from the README's first command to an uninstalled program:
# the example package built by `make demo` is installed by pressing "Installa", every
# effect of the installation is checked (files under their long names, the help file,
# the runtime library, the registry entry with the installation folder, the uninstall
# entry, the registered library, the links, the started program), then the program is
# uninstalled through the registry's UninstallString, as the Control Panel would, and
# everything must be gone.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
set +e
root=$e2e_root
setup=$root/build/Demo.exe
[ -f "$setup" ] || { echo "FAIL: $setup is missing: make demo first"; exit 1; }

failures=0
check() {
    local name=$1
    shift
    if "$@" >/dev/null 2>&1; then echo "ok: $name"; else echo "FAIL: $name"; failures=$((failures + 1)); fi
}

e2e_begin demo_install DemoSetup.exe rundll32.exe regsvr32.exe Demo.exe
work=$E2E_ARTIFACTS
cp "$setup" "$work/DemoSetup.exe"
rm -f "$E2E_DRIVE_C/demo-started.txt"
export VELASET_DEMO_MARKER='C:\demo-started.txt'

# Install: the setup dialog titled by the project's Caption, then the final message.
e2e_start "$work/DemoSetup.exe"
e2e_wait "Installazione di Demo"
e2e_shot setup-dialog
e2e_expect_text "Installa"
e2e_click "Installazione di Demo" "Installa"
e2e_click "Demo" "OK" 120
e2e_wait_exit
check "the setup ends with exit code 1" test "$E2E_EXIT" -eq 1

folder="$E2E_DRIVE_C/Program Files/Demo"
check "Demo.exe is in the installation folder" test -f "$folder/Demo.exe"
check "the text file has its long name" test -f "$folder/Leggimi con nome lungo.txt"
check "the self-registering library is installed" test -f "$folder/DemoReg.dll"
check "the script stays for the uninstall" test -f "$folder/setup.inf"
check "the help file is in the help folder" test -f "$E2E_DRIVE_C/windows/help/Demo.hlp"
check "the runtime library is in the system folder" test -f "$E2E_DRIVE_C/windows/system32/avviora.dll"
check "the working folder is gone" test ! -e "$E2E_DRIVE_C/~Vudi"
check "the program was started at the end" e2e_wait_file "$E2E_DRIVE_C/demo-started.txt" 30
check "the started program is the installed one" \
    grep -qi 'Demo\\Demo.exe' "$E2E_DRIVE_C/demo-started.txt"
cartella=$(e2e_reg_query 'HKLM\Software\Velaset Demo' Cartella | awk '/Cartella/ { print $3 }')
check "the registry entry holds the installation folder" test -n "$cartella"
echo "note: Cartella = $cartella"
check "the library was registered" bash -c "$(declare -f e2e_reg_query); e2e_reg_query 'HKCU\\Software\\Velaset Demo' Registrata | grep -q 'REG_SZ *1'"
uninstall=$(e2e_reg_query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Demo' UninstallString |
    sed -n 's/.*REG_SZ *//p')
check "the uninstall entry is registered" test -n "$uninstall"
check "its display name is the project's LabelControl" \
    bash -c "$(declare -f e2e_reg_query); e2e_reg_query 'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo' DisplayName | grep -q 'Demo 1.0'"
links=$(cd "$E2E_DRIVE_C/users" && find . -iname '*.lnk' | sort)
echo "note: links: $(tr '\n' ' ' <<<"$links")"
check "the program-group link" grep -qi 'Programs/Demo/Demo.lnk' <<<"$links"
check "the uninstall link in the group" grep -qi 'Programs/Demo/Disinstalla Demo.lnk' <<<"$links"
check "the desktop link" grep -qi 'Desktop/Demo.lnk' <<<"$links"

# Uninstall as the Control Panel does: the registry's command, then "Yes".
echo "note: UninstallString = $uninstall"
read -r -a command <<<"$uninstall"
e2e_start "${command[@]}"
e2e_wait "Installazione di Demo" 60
e2e_shot uninstall-question
e2e_click "Installazione di Demo" "Yes" 60
e2e_wait_exit
check "the installation folder is gone" test ! -e "$folder"
check "the help file is gone" test ! -e "$E2E_DRIVE_C/windows/help/Demo.hlp"
check "the registry entry is gone" bash -c "! wine reg query 'HKLM\\Software\\Velaset Demo'"
check "the library is unregistered" bash -c "! wine reg query 'HKCU\\Software\\Velaset Demo'"
check "the uninstall entry is gone" \
    bash -c "! wine reg query 'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo'"
left=$(cd "$E2E_DRIVE_C/users" && find . -iname 'Demo.lnk' -o -iname 'Disinstalla Demo.lnk')
check "the links are gone" test -z "$left"

if [ "$failures" -ne 0 ]; then
    e2e_shot failure
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
