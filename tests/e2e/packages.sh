# Packages and checks of the installation cases, sourced after lib.sh. In the 64-bit
# tier E2E_STUB and E2E_RUNTIME are the 64-bit stub and runtime: x64 packages.

e2e_data="$e2e_root/tests/data/stub"

# e2e_stub_size STUB_IMAGE_SIZE|STUB64_IMAGE_SIZE: the size of the stub image.
e2e_stub_size() { sed -n "s/^#define $1 \([0-9]*\).*/\1/p" "$e2e_root/common/constants.h"; }
E2E_STUB_SIZE=$(e2e_stub_size STUB_IMAGE_SIZE)
[ "$VELASET_WINE_ARCH" = win32 ] || E2E_STUB_SIZE=$(e2e_stub_size STUB64_IMAGE_SIZE)
[ -n "$E2E_STUB_SIZE" ] || { echo "e2e: no stub size in common/constants.h" >&2; exit 1; }

# e2e_package EXE SOURCE:NAME...: the stub image and a cabinet of "velaset comprimi" of
# each SOURCE staged as NAME (8.3), as the builder makes it; with E2E_LZX=1 an LZX one,
# the files before the runtime in one folder, the runtime and the script in their own.
e2e_package() {
  local exe=$1 staging list="" item source name joint=+ method=()
  shift
  if [ "${E2E_LZX:-0}" = 1 ]; then
    joint="|"
    method=(--lzx)
  fi
  staging="$E2E_ARTIFACTS/package"
  rm -rf "$staging" && mkdir -p "$staging"
  for item in "$@"; do
    source=${item%%:*}
    name=${item#*:}
    cp "$source" "$staging/$name"
    case "$name" in
      [Aa]vviora.dll|setup.inf) list="$list${list:++}$staging/$name" ;;
      *) list="$list${list:+$joint}$staging/$name" ;;
    esac
  done
  "$E2E_VELASET" comprimi "${method[@]}" "$staging/" setup "$list" 145000000 ||
    e2e_fail "velaset comprimi failed"
  cat "$E2E_STUB" "$staging/setup.CAB" >"$exe"
  [ "$(stat -c %s "$exe")" -eq $(( E2E_STUB_SIZE + $(stat -c %s "$staging/setup.CAB") )) ] ||
    e2e_fail "the setup executable is not the stub image followed by the cabinet"
}

e2e_demo_package() {
  e2e_package "$1" "$E2E_MARKER:Demo.exe" "$e2e_data/Guida lunga.hlp:GUIDAL~1.HLP" \
    "$E2E_SELFREG:Comp.ocx" "$E2E_RUNTIME:Avviora.dll" "$e2e_data/demo.inf:setup.inf"
}

# e2e_build PROJECT EXE [OPTION...]: "velaset build" (with the options); the 64-bit tier
# builds an x64 package with the tier's stub and runtime in the x64 system folder.
e2e_build() {
  local project=$1 exe=$2 system="$E2E_ARTIFACTS/system"
  shift 2
  if [ "$VELASET_WINE_ARCH" = win32 ]; then
    "$E2E_VELASET" build "$project" -o "$exe" --quiet "$@" || e2e_fail "velaset build failed"
    return
  fi
  rm -rf "$system" && mkdir -p "$system/x64"
  cp "$E2E_STUB" "$system/x64/Avviora64.exe"
  cp "$E2E_RUNTIME" "$system/x64/avviora.dll"
  VELASET_SYSTEM_DIR="$system" "$E2E_VELASET" build "$project" -o "$exe" --arch x64 --quiet "$@" ||
    e2e_fail "velaset build --arch x64 failed"
}

e2e_user_dir() {
  local dir
  for dir in "$E2E_DRIVE_C"/users/*; do
    [ "$(basename "$dir")" = Public ] || { echo "$dir"; return; }
  done
}
E2E_PROGRAM_FILES="$E2E_DRIVE_C/Program Files"
E2E_PROGRAM_FILES_X86="$E2E_DRIVE_C/Program Files (x86)"
E2E_SYSTEM="$E2E_DRIVE_C/windows/system32"
E2E_SYSTEM_WOW64="$E2E_DRIVE_C/windows/syswow64"
E2E_HELP="$E2E_DRIVE_C/windows/help"
E2E_PROGRAMS="$(e2e_user_dir)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
E2E_DESKTOP_DIR="$(e2e_user_dir)/Desktop"
E2E_TEMP="$(e2e_user_dir)/Temp"
E2E_UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

# Whether a shell link holds a text (links keep ANSI and UTF-16 strings).
e2e_link_mentions() {
  local texts
  texts=$(strings -a "$1"; strings -a -el "$1")
  grep -qiF -- "$2" <<<"$texts"
}

e2e_expect_absent() {
  local path
  for path in "$@"; do
    [ ! -e "$path" ] || e2e_fail "$path should not exist"
  done
}

e2e_expect_present() {
  local path
  for path in "$@"; do
    [ -e "$path" ] || e2e_fail "$path is missing"
  done
}

# An uninstall leaves the shared runtime; the case takes it away, as a builder under
# Wine would take avviora.dll from the system folder first.
e2e_remove_runtime() {
  find "$E2E_SYSTEM" -maxdepth 1 -iname avviora.dll -delete
}

# The working files of the stub: its folder C:\~Vudi and its temporary files.
e2e_expect_no_working_files() {
  e2e_expect_absent "$E2E_DRIVE_C/~Vudi" "$E2E_TEMP/setup~1.cab" "$E2E_TEMP/setup.inf"
}

# e2e_expect_software_key KEY: HKLM\Software\KEY in the tier's registry view, and for
# 64-bit programs not in the 32-bit view (Wow6432Node) as well.
e2e_expect_software_key() {
  e2e_reg_query "HKLM\Software\\$1" >/dev/null || e2e_fail "no HKLM\Software\\$1"
  [ "$VELASET_WINE_ARCH" = win32 ] && return
  ! e2e_reg_query "HKLM\Software\Wow6432Node\\$1" >/dev/null ||
    e2e_fail "HKLM\Software\\$1 is in the 32-bit view (Wow6432Node) too"
}

# The machine field of a PE image: 014c (i386) or 8664 (x86-64).
e2e_pe_machine() {
  local pe
  pe=$(od -An -tu4 -j 60 -N4 "$1" 2>/dev/null | tr -d ' ')
  od -An -tx2 -j "${pe:-0}" -N6 "$1" 2>/dev/null |
    awk '{ print ($1 == "4550" && $2 == "0000") ? $3 : "none" }'
}

e2e_expect_tier_image() {
  local machine=014c
  [ "$VELASET_WINE_ARCH" = win32 ] || machine=8664
  [ "$(e2e_pe_machine "$1")" = "$machine" ] || e2e_fail "$1 is not a $VELASET_WINE_ARCH image"
}

# e2e_run_silent PROGRAM ARGS...: its whole exit code into $E2E_EXIT through winctl (a
# Unix exit status keeps 8 bits of 1603); 124 when a window blocked it to its timeout.
e2e_run_silent() {
  local program=$1 out
  shift
  [[ $program != /* ]] || program="Z:${program//\//\\}"
  out=$(timeout "${E2E_TIMEOUT:-150}" "$VELASET_WINE" "$E2E_WINCTL" run "$program" "$@" |
    tr -d '\r') || true
  E2E_EXIT=$(sed -n 's/^exit code //p' <<<"$out")
  [ -n "$E2E_EXIT" ] || E2E_EXIT=124
}

e2e_log_text() {
  [ -f "$1" ] || return 0
  iconv -f CP1252 -t UTF-8 <"$1" | tr -d '\r'
}

# PROGDIR of the installed script (the short form the uninstall command carries).
e2e_installed_progdir() {
  tr -d '\r' <"$1/setup.inf" | sed -n 's/^PROGDIR=//p'
}

# e2e_expect_no_key KEY|KEY:VALUE...: fails when a registry key (or one value of it) exists.
e2e_expect_no_key() {
  local item key value
  for item in "$@"; do
    IFS=: read -r key value <<<"$item"
    ! e2e_reg_query "$key" ${value:+"$value"} >/dev/null || e2e_fail "$item is there"
  done
}

# e2e_expect_value KEY NAME PATTERN: the value exists and its line matches PATTERN.
e2e_expect_value() {
  e2e_reg_query "$1" "$2" | grep -q -- "$3" ||
    e2e_fail "$1 $2 does not match \"$3\": $(e2e_reg_query "$1" "$2")"
}

# e2e_uninstall_demo_silently FOLDER [OPTION...]: "Disinstalla [OPTION...] /S PROGDIR"
# of the Demo package in FOLDER leaves nothing of it; then the runtime goes too.
e2e_uninstall_demo_silently() {
  local folder=$1 progdir
  shift
  progdir=$(e2e_installed_progdir "$folder")
  [ -n "$progdir" ] || e2e_fail "no PROGDIR in $folder/setup.inf"
  e2e_run_silent rundll32.exe avviora.dll,Disinstalla "$@" /S "$progdir"
  e2e_expect_absent "$folder" "$E2E_HELP/Guida lunga.hlp" "$E2E_PROGRAMS/Demo" \
    "$E2E_DESKTOP_DIR/Demo.lnk"
  e2e_expect_no_key "$E2E_UNINSTALL_KEY\\Demo" 'HKLM\Software\Demo' 'HKLM\Software\VelasetTest:Comp'
  e2e_remove_runtime
}

# e2e_flip_byte FILE OFFSET
e2e_flip_byte() {
  local byte
  byte=$(od -An -tu1 -j "$2" -N1 "$1" | tr -d ' ')
  printf "\\$(printf '%03o' $((byte ^ 0x55)))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# e2e_expect_refused LOG TEXT EXE...: each package, run silently with its log in
# C:\LOG, ends with 1603 and the log line TEXT, installing nothing of the Demo
# package and leaving no working files.
e2e_expect_refused() {
  local log=$1 text=$2 exe
  shift 2
  for exe in "$@"; do
    rm -f "$E2E_DRIVE_C/$log"
    e2e_run_silent "$exe" /S "/LOG=C:\\$log"
    [ "$E2E_EXIT" -eq 1603 ] || e2e_fail "$exe: exit code $E2E_EXIT, expected 1603"
    grep -qxF "$text" <(e2e_log_text "$E2E_DRIVE_C/$log") ||
      e2e_fail "$exe: log: $(e2e_log_text "$E2E_DRIVE_C/$log")"
    e2e_expect_absent "$E2E_PROGRAM_FILES/Demo"
    e2e_expect_no_working_files
  done
  rm -f "$E2E_DRIVE_C/$log"
}

# e2e_expect_stub_error EXE TEXT [SHOT]: started by hand, the package stops with the
# stub's error box saying TEXT, and exit code 0.
e2e_expect_stub_error() {
  e2e_start "$1"
  e2e_wait "Setup error" 60
  [ -z "${3:-}" ] || e2e_shot "$3"
  e2e_click "Setup error" "OK" 60
  e2e_expect_text "$2"
  e2e_wait_exit
  [ "$E2E_EXIT" -eq 0 ] || e2e_fail "$1 by hand: exit code $E2E_EXIT, expected 0"
  e2e_expect_no_working_files
}

# e2e_expect_runtime_in FOLDER: the runtime of the tier's architecture is in FOLDER, never
# in the 32-bit system folder.
e2e_expect_runtime_in() {
  local runtime
  runtime=$(find "$1" -maxdepth 1 -iname avviora.dll)
  [ -n "$runtime" ] || e2e_fail "no avviora.dll in $1"
  e2e_expect_tier_image "$runtime"
  [ -z "$(find "$E2E_SYSTEM_WOW64" -maxdepth 1 -iname avviora.dll 2>/dev/null)" ] ||
    e2e_fail "avviora.dll went into the 32-bit system folder"
}

# An installation case as a row of variables: e2e_row_install EXE installs the package
# and checks every effect the row lists; e2e_row_uninstall runs the command of its
# uninstall entry and checks that everything the row lists as gone is gone. The row:
#   row_hand=TITLE   installed by hand: Return in the setup dialog TITLE, whose texts
#                    hold each of row_texts while row_open_present exist, then in
#                    the final box row_final; exit code 1. Unset: silently, "/S" and
#                    row_options; exit code 0
#   row_present, row_absent    paths the installation leaves and does not make
#   row_same=("INSTALLED|SOURCE"...)    installed files with their source's bytes
#   row_values=("KEY|NAME|PATTERN"...)  registry values whose line matches PATTERN
#   row_links=("LINK|TEXT"...)          shell links holding a text (their target)
#   row_started=PATH   the file the started program writes (marker.c), holding the
#                      text row_started_by when that is set
#   row_entry=KEY      the uninstall entry, whose command uninstalls silently ("/S"),
#                      or by hand with row_ask=TITLE: "Yes" to the question there
#   row_gone, row_gone_keys    what the uninstall removes (paths; keys or KEY:VALUE)
e2e_row_clear() {
  unset row_hand row_final row_started row_started_by row_entry row_ask
  row_texts=() row_open_present=() row_options=() row_present=() row_absent=() row_same=() row_values=()
  row_links=() row_gone=() row_gone_keys=()
}
e2e_row_clear

e2e_row_install() {
  local exe=$1 item key name pattern
  [ -z "${row_started:-}" ] || rm -f "$row_started"
  if [ -n "${row_hand:-}" ]; then
    e2e_start "$exe"
    e2e_wait "$row_hand" 60
    e2e_shot setup-dialog
    for item in "${row_texts[@]}"; do e2e_expect_text "$item"; done
    e2e_expect_present "${row_open_present[@]}"
    e2e_press_return "$row_hand"
    e2e_press_return "$row_final" 120
    e2e_expect_text "Installazione completata con successo."
    e2e_wait_exit
    [ "$E2E_EXIT" -eq 1 ] || e2e_fail "$exe: exit code $E2E_EXIT, expected 1"
  else
    e2e_run_silent "$exe" /S "${row_options[@]}"
    [ "$E2E_EXIT" -eq 0 ] || e2e_fail "$exe: exit code $E2E_EXIT, expected 0"
  fi
  e2e_expect_present "${row_present[@]}"
  e2e_expect_absent "${row_absent[@]}"
  for item in "${row_same[@]}"; do
    cmp -s "${item%%|*}" "${item#*|}" || e2e_fail "${item%%|*} is not ${item#*|}"
  done
  for item in "${row_values[@]}"; do
    IFS='|' read -r key name pattern <<<"$item"
    e2e_expect_value "$key" "$name" "$pattern"
  done
  for item in "${row_links[@]}"; do
    e2e_link_mentions "${item%%|*}" "${item#*|}" || e2e_fail "${item%%|*} does not hold ${item#*|}"
  done
  if [ -n "${row_started:-}" ]; then
    e2e_wait_file "$row_started" 30 || e2e_fail "the program was not started"
    [ -z "${row_started_by:-}" ] || grep -qixF -- "$row_started_by" "$row_started" ||
      e2e_fail "another program was started: $(cat "$row_started")"
  fi
  e2e_expect_no_working_files
}

e2e_row_uninstall() {
  local command program entry progdir second
  command=$(e2e_reg_query "$row_entry" UninstallString | sed -n 's/.*REG_SZ *//p')
  read -r program entry progdir <<<"$command"
  [ "$program" = rundll32.exe ] && [[ "$entry" == *avviora.dll,Disinstalla ]] ||
    e2e_fail "unexpected UninstallString \"$command\""
  if [ -n "${row_ask:-}" ]; then
    e2e_start rundll32.exe "$entry" "$progdir"
    e2e_click "$row_ask" "Yes" 60
    e2e_expect_text "Vuoi disinstallare questo programma dal tuo computer?"
    e2e_wait_exit
  else
    e2e_run_silent rundll32.exe "$entry" /S "$progdir"
    [ "$E2E_EXIT" -eq 0 ] || e2e_fail "uninstall: exit code $E2E_EXIT"
  fi
  # An uninstall that removes its own runtime ends the removal after it has ended.
  for second in $(seq 30); do
    [ -e "${row_gone[0]}" ] || break
    sleep 1
  done
  e2e_expect_absent "${row_gone[@]}"
  e2e_expect_no_key "$row_entry" "${row_gone_keys[@]}"
  e2e_remove_runtime
}

# No name with "~" is left in the folder.
e2e_expect_no_short_names() {
  [ -z "$(find "$1" -maxdepth 1 -name '*~*')" ] || e2e_fail "short names left: $(ls "$1")"
}
