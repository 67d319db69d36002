#!/usr/bin/env bash
# A second start while the wizard runs ends at once, leaving the first one alone; the
# about box hides the wizard and shows it again when it closes.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wizard_lib.sh"
e2e_begin wizard_single
wiz_install
wiz_start
first=$E2E_PROGRAM_PID
start=$(date +%s)
timeout 60 "$VELASET_WINE" 'C:\Velaset\Velaset.exe' || e2e_fail "the second copy failed"
[ $(( $(date +%s) - start )) -lt 30 ] || e2e_fail "the second copy did not end at once"
kill -0 "$first" 2>/dev/null || e2e_fail "the first copy ended"
wiz wait "$WIZ_TITLE" 5 >/dev/null || e2e_fail "the first copy's window is gone"
E2E_PROGRAM_PID=$first

wiz_click "I&nformazioni"
about=$(wiz wait "Informazioni su Velaset" 20) || e2e_fail "no about box"
grep -qxF "Versione 3.1.1" <<<"$about" || e2e_fail "about box: $about"
wiz gone "$WIZ_TITLE" 5 || e2e_fail "the wizard stayed visible"
e2e_shot about
wiz click "Informazioni su Velaset" "OK" 5 || e2e_fail "cannot close the about box"
wiz wait "$WIZ_TITLE" 20 >/dev/null || e2e_fail "the wizard did not come back"
wiz_quit
e2e_log "passed"
