# Helpers of the hostile-input and silent cases, sourced after packages.sh.

# Runs a setup executable (or another program) with the given options and
# waits; its whole exit code goes to $E2E_EXIT (winctl reads it: a Unix exit
# status keeps 8 bits of 1603). A window that asks for an answer would block
# it until its timeout (exit code 124).
e2e_run_silent() {
  local program=$1 out
  shift
  [[ $program != /* ]] || program="Z:${program//\//\\}"
  out=$(timeout "${E2E_TIMEOUT:-150}" "$VELASET_WINE" "$E2E_WINCTL" run "$program" "$@" |
    tr -d '\r') || true
  E2E_EXIT=$(sed -n 's/^exit code //p' <<<"$out")
  [ -n "$E2E_EXIT" ] || E2E_EXIT=124
}

# The log file of a silent run as UTF-8 text without CRs ("" when absent).
e2e_log_text() {
  [ -f "$1" ] || return 0
  iconv -f CP1252 -t UTF-8 <"$1" | tr -d '\r'
}

# The installation folder that the installed script names (PROGDIR, the
# short form the uninstall command carries).
e2e_installed_progdir() {
  tr -d '\r' <"$1/setup.inf" | sed -n 's/^PROGDIR=//p'
}

# e2e_uninstall_demo_silently FOLDER [OPTION...]: uninstalls silently as
# "Disinstalla [OPTION...] /S" does and checks that the Demo package left
# nothing; then the runtime goes too.
e2e_uninstall_demo_silently() {
  local folder=$1 progdir
  shift
  progdir=$(e2e_installed_progdir "$folder")
  [ -n "$progdir" ] || e2e_fail "no PROGDIR in $folder/setup.inf"
  e2e_run_silent rundll32.exe avviora.dll,Disinstalla "$@" /S "$progdir"
  e2e_expect_absent "$folder" "$E2E_HELP/Guida lunga.hlp" "$E2E_PROGRAMS/Demo" \
    "$E2E_DESKTOP_DIR/Demo.lnk"
  ! e2e_reg_query "$E2E_UNINSTALL_KEY\\Demo" >/dev/null || e2e_fail "the uninstall entry is still there"
  ! e2e_reg_query 'HKLM\Software\Demo' >/dev/null || e2e_fail "HKLM\\Software\\Demo is still there"
  e2e_remove_runtime
}
