#!/usr/bin/env bash
# An uninstall that cannot change HKLM (the uninstall key denies writing, as to a user
# who is not an administrator) removes nothing, by hand and silently; with the rights
# back it removes everything. Wine has no UAC: the uninstall seen here is one already
# elevated that still lacks the rights (its start as "runas": runtime_elevation_test).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
e2e_begin elevation
folder="$E2E_PROGRAM_FILES/Demo"
exe="$E2E_ARTIFACTS/Demo_setup.exe"
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall'
e2e_demo_package "$exe"
e2e_run_silent "$exe" /S
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "silent installation: exit code $E2E_EXIT, expected 0"
progdir=$(e2e_installed_progdir "$folder")

expect_installed() {
  e2e_expect_present "$folder/Demo.exe" "$folder/setup.inf" "$E2E_HELP/Guida lunga.hlp" \
    "$E2E_DESKTOP_DIR/Demo.lnk"
  e2e_reg_query 'HKLM\Software\Demo' Versione | grep -q '1\.0$' || e2e_fail "$1: HKLM\\Software\\Demo is gone"
  e2e_reg_query "$E2E_UNINSTALL_KEY\\Demo" UninstallString >/dev/null ||
    e2e_fail "$1: the uninstall entry is gone"
  e2e_reg_query 'HKLM\Software\VelasetTest' Comp >/dev/null || e2e_fail "$1: Comp.ocx was unregistered"
}

rights=$(e2e_wine "$E2E_KEY_RIGHTS" show "$uninstall_key" | tr -d '\r') ||
  e2e_fail "cannot read the access list of the uninstall key"
e2e_on_end "$VELASET_WINE" "$E2E_KEY_RIGHTS" set "$uninstall_key" "$rights"
# Nobody may set values or make sub-keys there (0x6), whatever else he may.
e2e_wine "$E2E_KEY_RIGHTS" set "$uninstall_key" "D:(D;;0x6;;;WD)${rights#D:}" ||
  e2e_fail "cannot deny writing to the uninstall key"

# 1. By hand, as the Control Panel starts it: the refusal, and nothing goes.
e2e_start rundll32.exe avviora.dll,Disinstalla "$progdir"
e2e_wait "Setup error" 60
e2e_shot uninstall-refused
e2e_click "Setup error" "OK" 60
e2e_expect_text "Impossibile disinstallare il programma: servono i diritti di amministratore per modificare $progdir e HKEY_LOCAL_MACHINE."
e2e_wait_exit
expect_installed "by hand"

# 2. Silently, and as the uninstall started again as an administrator
#    ("/ELEVATO") that still lacks the rights: no window, nothing goes.
for options in "/S" "/ELEVATO /S"; do
  e2e_run_silent rundll32.exe avviora.dll,Disinstalla $options "$progdir"
  [ "$E2E_EXIT" -eq 0 ] || e2e_fail "$options without the rights: exit code $E2E_EXIT"
  expect_installed "$options"
done

# 3. With the rights back the uninstall started again removes everything.
e2e_wine "$E2E_KEY_RIGHTS" set "$uninstall_key" "$rights" || e2e_fail "cannot restore the access list"
e2e_uninstall_demo_silently "$folder" /ELEVATO
e2e_log "passed"
