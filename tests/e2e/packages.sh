# Setup executables for the end-to-end cases, assembled as the builder does:
# the stub image followed by a cabinet that "velaset comprimi" writes from
# files staged under their packed (8.3) names. Sourced after lib.sh.

e2e_data="$e2e_root/tests/data/stub"

# e2e_package EXE SOURCE:NAME...  stages each SOURCE as NAME (in list order,
# the script last as the builder packs it) and writes the setup executable EXE.
e2e_package() {
  local exe=$1 staging list="" item source name
  shift
  staging="$E2E_ARTIFACTS/package"
  rm -rf "$staging" && mkdir -p "$staging"
  for item in "$@"; do
    source=${item%%:*}
    name=${item#*:}
    cp "$source" "$staging/$name"
    list="$list${list:++}$staging/$name"
  done
  "$E2E_VELASET" comprimi "$staging/" setup "$list" 145000000 ||
    e2e_fail "velaset comprimi failed"
  cat "$E2E_STUB" "$staging/setup.CAB" >"$exe"
  [ "$(stat -c %s "$exe")" -eq $(( 14336 + $(stat -c %s "$staging/setup.CAB") )) ] ||
    e2e_fail "the setup executable is not the stub image followed by the cabinet"
}

# The package of the worked example: Demo.exe, a long-named help file, a
# self-registering Comp.ocx, the runtime and the full script.
e2e_demo_package() {
  e2e_package "$1" "$E2E_MARKER:Demo.exe" "$e2e_data/Guida lunga.hlp:GUIDAL~1.HLP" \
    "$E2E_SELFREG:Comp.ocx" "$E2E_RUNTIME:Avviora.dll" "$e2e_data/demo.inf:setup.inf"
}

# Folders of the prefix that the cases look at.
e2e_user_dir() {
  local dir
  for dir in "$E2E_DRIVE_C"/users/*; do
    [ "$(basename "$dir")" = Public ] || { echo "$dir"; return; }
  done
}
E2E_PROGRAM_FILES="$E2E_DRIVE_C/Program Files"
E2E_SYSTEM="$E2E_DRIVE_C/windows/system32"
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

# Fails when a file or folder exists (checks that a case left nothing behind).
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

# The working files of the stub: its folder C:\~Vudi and its temporary files.
e2e_expect_no_working_files() {
  e2e_expect_absent "$E2E_DRIVE_C/~Vudi" "$E2E_TEMP/setup~1.cab" "$E2E_TEMP/setup.inf"
}
