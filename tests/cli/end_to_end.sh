#!/usr/bin/env bash
# The shipped velaset command end to end: end_to_end.sh PROGRAM [native|wine]
# Under Wine the program gets Windows paths (drive Z: is the Linux tree).
set -euo pipefail
program=$1
mode=${2:-native}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/DIR"

run() {
    if [ "$mode" = wine ]; then
        "$here/../wine/run.sh" "$program" "$@"
    else
        "$program" "$@"
    fi
}
path() { # the program's form of a Linux path
    if [ "$mode" = wine ]; then echo "Z:${1//\//\\}"; else echo "$1"; fi
}
fail() { echo "end_to_end ($mode): $*" >&2; exit 1; }
expect_code() { # expect_code CODE ARGS...
    local want=$1; shift
    local got=0
    run "$@" >"$work/out" 2>"$work/err" || got=$?
    [ "$got" = "$want" ] || fail "velaset $* exited $got, expected $want: $(cat "$work/err")"
}

project=$(path "$work/DIR/Demo.mip")
expect_code 0 --version
grep -q '^velaset [0-9]' "$work/out" || fail "--version printed $(cat "$work/out")"
expect_code 2 new
expect_code 0 new "$project" --title Demo
expect_code 0 show "$project"
tr -d '\r' <"$work/out" >"$work/shown"
for line in 'Titolo=Demo' "Etic1A=Benvenuti nell'installazione di Demo" \
            'Etic2A=Questo programma installerà Demo sul vostro computer.' \
            'LabelControl=Demo, Versione 1.0' "ProgFile=$project" 'NumChiavi=0'; do
    grep -qxF "$line" "$work/shown" || fail "show lacks the line: $line"
done
if grep -q $'\r' "$work/out"; then fail "show printed CR characters"; fi
expect_code 1 new "$project"

# A title outside ASCII reaches the file as Windows-1252.
expect_code 0 new "$project" --title 'Città' --force
grep -q $'^Titolo=Citt\xe0\r$' "$work/DIR/Demo.mip" || fail "the title is not stored in Windows-1252"
expect_code 0 set "$project" 'Caption=Perché no' Uninstall=1
grep -q $'^Caption=Perch\xe9 no\r$' "$work/DIR/Demo.mip" || fail "set did not store Caption"
grep -q $'^UninstallString=Disinstalla\r$' "$work/DIR/Demo.mip" || fail "set did not apply Uninstall"
expect_code 2 set "$project" Colore=blu
grep -q 'chiavi valide: Titolo' "$work/err" || fail "unknown key without the list of keys"
echo "end_to_end ($mode): ok"
