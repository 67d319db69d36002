# Setup executables for the end-to-end cases, assembled as the builder does:
# the stub image followed by a cabinet that "velaset comprimi" writes from
# files staged under their packed (8.3) names. Sourced after lib.sh. In the
# 64-bit tier E2E_STUB and E2E_RUNTIME are the 64-bit stub and runtime, so the
# packages are x64 packages: the same script, run by 64-bit programs.

e2e_data="$e2e_root/tests/data/stub"

# The size of the tier's stub image, where its cabinet starts.
e2e_stub_size_name=STUB_IMAGE_SIZE
[ "$VELASET_WINE_ARCH" = win32 ] || e2e_stub_size_name=STUB64_IMAGE_SIZE
E2E_STUB_SIZE=$(sed -n "s/^#define $e2e_stub_size_name \([0-9]*\).*/\1/p" "$e2e_root/common/constants.h")
[ -n "$E2E_STUB_SIZE" ] || { echo "e2e: no $e2e_stub_size_name in common/constants.h" >&2; exit 1; }

# e2e_package EXE SOURCE:NAME...  stages each SOURCE as NAME (in list order,
# the script last as the builder packs it) and writes the setup executable EXE.
# With E2E_LZX=1 the cabinet is an LZX one as the builder makes it for
# Compressione=LZX: the files before the runtime in one folder, the runtime and the
# script in folders of their own.
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

# The package of the worked example: Demo.exe, a long-named help file, a
# self-registering Comp.ocx, the runtime and the full script.
e2e_demo_package() {
  e2e_package "$1" "$E2E_MARKER:Demo.exe" "$e2e_data/Guida lunga.hlp:GUIDAL~1.HLP" \
    "$E2E_SELFREG:Comp.ocx" "$E2E_RUNTIME:Avviora.dll" "$e2e_data/demo.inf:setup.inf"
}

# e2e_build PROJECT EXE  builds a project with "velaset build" into EXE. The
# 64-bit tier builds an x64 package ("--arch x64") with the tier's stub and
# runtime, which the builder finds in the x64 folder of its system folder.
e2e_build() {
  local project=$1 exe=$2 system="$E2E_ARTIFACTS/system"
  if [ "$VELASET_WINE_ARCH" = win32 ]; then
    "$E2E_VELASET" build "$project" -o "$exe" --quiet || e2e_fail "velaset build failed"
    return
  fi
  rm -rf "$system" && mkdir -p "$system/x64"
  cp "$E2E_STUB" "$system/x64/Avviora64.exe"
  cp "$E2E_RUNTIME" "$system/x64/avviora.dll"
  VELASET_SYSTEM_DIR="$system" "$E2E_VELASET" build "$project" -o "$exe" --arch x64 --quiet ||
    e2e_fail "velaset build --arch x64 failed"
  # A package for one user carries the stub with another execution level.
  grep -q $'^Ambito=utente\r$' "$project" || cmp -n "$E2E_STUB_SIZE" "$exe" "$E2E_STUB" ||
    e2e_fail "the x64 package does not start with $E2E_STUB"
}

# e2e_test_certificate: a certificate and its key made here by openssl for the
# signing cases (never a committed key): $E2E_CERT, $E2E_KEY (encrypted with
# $E2E_KEY_PASSWORD).
E2E_KEY_PASSWORD='segreto di prova'
e2e_test_certificate() {
  E2E_CERT="$E2E_ARTIFACTS/certificato.pem" E2E_KEY="$E2E_ARTIFACTS/chiave.pem"
  openssl req -x509 -newkey rsa:2048 -keyout "$E2E_KEY" -out "$E2E_CERT" -days 30 \
    -subj "/CN=Velaset Prova" -passout pass:"$E2E_KEY_PASSWORD" 2>/dev/null ||
    e2e_fail "openssl could not make the test certificate"
}

# e2e_signed_build PROJECT EXE  builds a project into a signed setup executable
# whose runtime is signed too: "velaset build" with its signing options, in the
# 64-bit tier an x64 package with the tier's stub and runtime, as e2e_build.
e2e_signed_build() {
  local project=$1 exe=$2 system="$E2E_ARTIFACTS/system" command=()
  if [ "$VELASET_WINE_ARCH" != win32 ]; then
    rm -rf "$system" && mkdir -p "$system/x64"
    cp "$E2E_STUB" "$system/x64/Avviora64.exe"
    cp "$E2E_RUNTIME" "$system/x64/avviora.dll"
    command=(VELASET_SYSTEM_DIR="$system" "$E2E_VELASET" build --arch x64)
  else
    command=("$E2E_VELASET" build)
  fi
  env VELASET_SIGN_PASSWORD="$E2E_KEY_PASSWORD" "${command[@]}" "$project" -o "$exe" --quiet \
    --sign-cert "$E2E_CERT" --sign-key "$E2E_KEY" --sign-description "Demo firmato" \
    --sign-runtime || e2e_fail "velaset build with a signature failed"
}

# The security directory of a program file (where its certificate table is):
# e2e_security_directory FILE prints "OFFSET SIZE";
# e2e_set_security_directory FILE OFFSET SIZE changes it in place.
e2e_security_directory() {
  python3 - "$@" <<'EOF'
import struct, sys
path = sys.argv[1]
data = bytearray(open(path, 'rb').read())
pe = struct.unpack_from('<I', data, 60)[0]
magic = struct.unpack_from('<H', data, pe + 24)[0]
entry = pe + 24 + (96 if magic == 0x10b else 112) + 4 * 8
if len(sys.argv) == 4:
    struct.pack_into('<II', data, entry, int(sys.argv[2]), int(sys.argv[3]))
    open(path, 'wb').write(data)
else:
    print(*struct.unpack_from('<II', data, entry))
EOF
}
e2e_set_security_directory() {
  e2e_security_directory "$@"
}

# Folders of the prefix that the cases look at.
e2e_user_dir() {
  local dir
  for dir in "$E2E_DRIVE_C"/users/*; do
    [ "$(basename "$dir")" = Public ] || { echo "$dir"; return; }
  done
}
E2E_PROGRAM_FILES="$E2E_DRIVE_C/Program Files"
# Where a 32-bit installer would put an x64 package's files on 64-bit Windows.
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

# The runtime stays in the system folder after an uninstall (every package
# shares it); once a case has uninstalled what it installed it goes, so that
# later tests of the prefix find the system folder as it was: a builder under
# Wine takes avviora.dll from there first.
e2e_remove_runtime() {
  find "$E2E_SYSTEM" -maxdepth 1 -iname avviora.dll -delete
}

# The working files of the stub: its folder C:\~Vudi and its temporary files.
e2e_expect_no_working_files() {
  e2e_expect_absent "$E2E_DRIVE_C/~Vudi" "$E2E_TEMP/setup~1.cab" "$E2E_TEMP/setup.inf"
}

# e2e_expect_software_key KEY: HKLM\Software\KEY exists in the registry view
# of the tier's programs (what the tier's reg.exe shows) and, for 64-bit
# programs, not in the 32-bit view (HKLM\Software\Wow6432Node) as well.
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

# Fails unless the file is a program or library of the tier's architecture.
e2e_expect_tier_image() {
  local machine=014c
  [ "$VELASET_WINE_ARCH" = win32 ] || machine=8664
  [ "$(e2e_pe_machine "$1")" = "$machine" ] || e2e_fail "$1 is not a $VELASET_WINE_ARCH image"
}
