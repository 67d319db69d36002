# Shared by the end-to-end tests of the build: paths, checks and small helpers.
velaset=$root/build/bin/velaset
stub=$root/build/bin/win32/Avviora.exe
stub64=$root/build/bin/win32/x64/Avviora64.exe
stub64_size=$(sed -n 's/^#define STUB64_IMAGE_SIZE \([0-9]*\).*/\1/p' "$root/common/constants.h")
payload=$root/build/demo/payload
payload64=$root/build/demo/payload64
# velaset-cli.exe of the Windows tree of VELASET_WINE_ARCH (win32 or win64), under Wine.
wine_cli=$root/build/bin/${VELASET_WINE_ARCH:-win32}/velaset-cli.exe
wine_velaset="$root/tests/wine/run.sh $wine_cli"
failures=0

# check NAME COMMAND...: runs the command, prints ok or FAIL with the name.
check() {
    local name=$1
    shift
    if "$@" >/dev/null 2>&1; then
        echo "ok: $name"
    else
        echo "FAIL: $name"
        failures=$((failures + 1))
    fi
}

fail_now() {
    echo "FAIL: $*"
    exit 1
}

finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed"
        exit 1
    fi
    echo "all checks passed"
}

# The names in a cabinet, in their order, on one line.
cabinet_names() {
    cabextract -l "$1" 2>/dev/null | awk -F'|' 'NF == 3 && $1 ~ /[0-9]/ { gsub(/^ +| +$/, "", $3); printf "%s%s", sep, $3; sep = " " }'
}

# The Windows path of a path of this machine (Wine's drive Z:).
winpath() {
    printf 'Z:%s' "${1//\//\\}"
}

make_demo_project() {
    "$root/examples/demo/make_project.sh" "$@"
}

for needed in "$velaset" "$stub" "$root/build/bin/win32/avviora.dll" "$payload/Demo.exe" \
              "$stub64" "$root/build/bin/win32/x64/avviora.dll" "$payload64/Demo.exe"; do
    [ -e "$needed" ] || fail_now "$needed is missing: make build first"
done
