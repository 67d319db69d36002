#!/usr/bin/env bash
# A project named on the command line, as the shell passes it (unquoted, with blanks),
# is opened: the pages show it.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wizard_lib.sh"
e2e_begin wizard_open
wiz_install
[ -f "$E2E_DRIVE_C/e2e/Demo.mip" ] || e2e_fail "no project saved by the build case"
mkdir -p "$E2E_DRIVE_C/e2e/Miei progetti"
cp "$E2E_DRIVE_C/e2e/Demo.mip" "$E2E_DRIVE_C/e2e/Miei progetti/Il mio Demo.mip"
# The ".mip" registration of the wizard's start-up.
command=$(e2e_reg_query 'HKCR\Velaset.file\shell\open\command')
grep -q 'velaset.exe %1' <<<"$command" || e2e_fail "no .mip registration: $command"
grep -q 'Velaset.file' <<<"$(e2e_reg_query 'HKCR\.mip')" || e2e_fail "no .mip type"

# As the shell starts it: the rest of the command line unquoted.
e2e_start cmd /c 'C:\Velaset\Velaset.exe C:\e2e\Miei progetti\Il mio Demo.mip'
wiz wait "$WIZ_TITLE" 60 >/dev/null || e2e_fail "the wizard did not open"
sleep 0.5
[ "$(wiz checked "$WIZ_TITLE" $IDC_OPTION2)" = 1 ] || e2e_fail "Option2 not chosen"
carica=$(wiz_get $IDC_LBL_CARICA)
grep -q 'Il mio Demo.mip$' <<<"$carica" || e2e_fail "lblCarica shows \"$carica\""
wiz_next
wiz_expect $IDC_TXT_TITOLO "Demo"
wiz_expect $IDC_TXT_CAPTION_A "Demo"
wiz_next
files=$(wiz items "$WIZ_TITLE" $IDC_LST_FILES)
[ "$(wc -l <<<"$files")" = 3 ] || e2e_fail "files: $files"
[ "$(wiz items "$WIZ_TITLE" $IDC_LST_DEST | tr '\n' ' ')" = "D S* D " ] || e2e_fail "codes"
wiz_next
[ "$(wiz items "$WIZ_TITLE" $IDC_LST_LINK0)" = "Demo.exe" ] || e2e_fail "link not loaded"
wiz_next
wiz_next
[ "$(wiz items "$WIZ_TITLE" $IDC_LST_REG_CONF)" = 'HKLM,Software\Demo,"Path",,"%PROGDIR%"' ] ||
  e2e_fail "registry entry not loaded"
wiz_next
prog=$(wiz_get $IDC_TXT_PROGETTO)
grep -q 'Il mio Demo.mip$' <<<"$prog" || e2e_fail "project path shows \"$prog\""
# The build case made an x64 project in the 64-bit tier only.
x64=0
[ "$VELASET_WINE_ARCH" = win64 ] && x64=1
[ "$(wiz checked "$WIZ_TITLE" $IDC_CHK_X64)" = $x64 ] || e2e_fail "the x64 box does not show the project's"
e2e_shot open_page6
wiz_quit
e2e_log "passed"
