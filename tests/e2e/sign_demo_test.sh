#!/usr/bin/env bash
# `velaset build` with a signature, through the real osslsigncode, on the example
# project, with a certificate made here by openssl (never a committed key): the signed
# package verifies, carries the unsigned package's cabinet unchanged behind the stub
# and the certificate table behind that as the header declares; the runtime is signed
# before packing when asked; the same inputs give the same bytes; the password comes
# only from the environment; a missing tool, a wrong password or an unreachable
# time-stamping server fail the build and leave no package.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/e2e/build_lib.sh"
command -v osslsigncode >/dev/null || fail_now "osslsigncode is missing: run scripts/setup.sh"

work=$root/build/e2e-sign
rm -rf "$work"
mkdir -p "$work"
export TZ=UTC SOURCE_DATE_EPOCH=1262304000
unset VELASET_SIGN_PASSWORD

# A self-made certificate with its key encrypted, and the same in a PKCS#12 file.
openssl req -x509 -newkey rsa:2048 -keyout "$work/chiave.pem" -out "$work/certificato.pem" \
    -days 30 -subj "/CN=Velaset Prova" -passout pass:'segreto di prova' 2>/dev/null &&
    openssl pkcs12 -export -inkey "$work/chiave.pem" -in "$work/certificato.pem" \
        -passin pass:'segreto di prova' -passout pass:p12segreto -out "$work/firma.p12" ||
    fail_now "openssl could not make the test certificate"

project=$work/Demo.mip
make_demo_project "$velaset" "$payload" "$project" "$work/Demo.exe" >/dev/null ||
    fail_now "the example project could not be made"
pem=(--sign-cert "$work/certificato.pem" --sign-key "$work/chiave.pem")

# PE facts of a file: "offset size" of the security directory, and the cabinet's size.
security_directory() { python3 "$root/tests/e2e/security_directory.py" "$1"; }
cabinet_size() {
    od -An -tu4 -j $((14336 + 8)) -N4 "$1" | tr -d ' '
}
verifies() {
    osslsigncode verify -CAfile "$work/certificato.pem" -in "$1" 2>&1 | grep -qx 'Succeeded'
}

# 1. A signed package: verifies, the unsigned package's cabinet behind the stub, then
#    zero padding to 8 bytes and the certificate table to the end, as declared.
"$velaset" build "$project" -o "$work/unsigned.exe" --quiet
VELASET_SIGN_PASSWORD='segreto di prova' "$velaset" build "$project" -o "$work/signed.exe" \
    "${pem[@]}" --sign-description "Demo" --sign-url "https://example.org/demo" 2>"$work/signed.err"
check "a signed build succeeds" test $? -eq 0 -a -f "$work/signed.exe"
check "with the success message" grep -qx 'Velaset: Il file SIGNED.EXE è stato creato!' "$work/signed.err"
check "and nothing of the signing tool on standard error when all goes well" \
    bash -c "! grep -qv -e '^velaset build: ' -e '^Velaset: ' '$work/signed.err'"
check "the signed package verifies" verifies "$work/signed.exe"
check "the unsigned one has no security directory" test "$(security_directory "$work/unsigned.exe")" = "0 0"
size=$(cabinet_size "$work/unsigned.exe")
check "the cabinet is the unsigned package's, unchanged" \
    cmp <(tail -c +14337 "$work/unsigned.exe") <(tail -c +14337 "$work/signed.exe" | head -c "$size")
read -r table_offset table_size <<<"$(security_directory "$work/signed.exe")"
end=$((14336 + size))
check "the certificate table starts at the cabinet's end rounded up to 8" \
    test "$table_offset" -eq $(((end + 7) / 8 * 8))
check "and runs to the end of the file" test $((table_offset + table_size)) -eq "$(stat -c %s "$work/signed.exe")"
check "the padding is zero bytes" \
    test "$(tail -c +$((end + 1)) "$work/signed.exe" | head -c $((table_offset - end)) | tr -d '\0' | wc -c)" -eq 0
check "the description is in the signature" \
    bash -c "osslsigncode verify -CAfile '$work/certificato.pem' -in '$work/signed.exe' 2>&1 | grep -q 'Text description: Demo'"

# 2. The same inputs and SOURCE_DATE_EPOCH give the same signed bytes.
VELASET_SIGN_PASSWORD='segreto di prova' "$velaset" build "$project" -o "$work/again.exe" --quiet \
    "${pem[@]}" --sign-description "Demo" --sign-url "https://example.org/demo"
check "a second signed build gives the same bytes" cmp "$work/signed.exe" "$work/again.exe"

# 3. PKCS#12, with the runtime signed before it is packed.
VELASET_SIGN_PASSWORD=p12segreto "$velaset" build "$project" -o "$work/p12.exe" --quiet \
    --sign-pkcs12 "$work/firma.p12" --sign-runtime
check "a build signed from a PKCS#12 file verifies" verifies "$work/p12.exe"
mkdir -p "$work/runtime"
tail -c +14337 "$work/p12.exe" | head -c "$(cabinet_size "$work/p12.exe")" >"$work/p12.cab"
cabextract -q -d "$work/runtime" -F avviora.dll "$work/p12.cab"
check "its runtime library is signed" verifies "$work/runtime/avviora.dll"
check "and otherwise the runtime of the build" \
    test "$(stat -c %s "$work/runtime/avviora.dll")" -gt "$(stat -c %s "$root/build/bin/win32/avviora.dll")"
check "the cabinet holds the same files" \
    test "$(cabinet_names "$work/p12.cab")" = "Demo.exe LEGGIM~1.TXT Demo.hlp DemoReg.dll avviora.dll setup.inf"

# 4. Builds that must fail leave no package and say why.
expect_failure() { # NAME TEXT COMMAND...: exit code 1, the text, no package
    local name=$1 text=$2
    shift 2
    rm -f "$work/failed.exe"
    "$@" 2>"$work/failed.err"
    check "$name: exit code 1" test $? -eq 1
    check "$name: no package" test ! -e "$work/failed.exe"
    check "$name: the reason" grep -qF -- "$text" "$work/failed.err"
    check "$name: the build failed" grep -qx 'velaset build: Creazione fallita' "$work/failed.err"
}
expect_failure "wrong password" "Impossibile firmare $work/failed.exe: osslsigncode è terminato con il codice" \
    env VELASET_SIGN_PASSWORD=sbagliata "$velaset" build "$project" -o "$work/failed.exe" --quiet "${pem[@]}"
expect_failure "password not given" "osslsigncode è terminato con il codice" \
    timeout 60 "$velaset" build "$project" -o "$work/failed.exe" --quiet "${pem[@]}"
expect_failure "unreachable time-stamping server" "osslsigncode è terminato con il codice" \
    env VELASET_SIGN_PASSWORD='segreto di prova' "$velaset" build "$project" -o "$work/failed.exe" \
    --quiet "${pem[@]}" --sign-timestamp http://127.0.0.1:9/
# At a terminal the signing tool would ask for the password there and wait: it runs
# without the terminal, so a wrong password fails at once.
timeout 60 script -qec "VELASET_SIGN_PASSWORD=sbagliata '$velaset' build '$project' \
    -o '$work/failed.exe' --quiet --sign-cert '$work/certificato.pem' --sign-key '$work/chiave.pem'" \
    /dev/null </dev/null >"$work/terminal.out" 2>&1
check "at a terminal a wrong password fails without waiting for another" test $? -eq 1
check "and leaves no package" test ! -e "$work/failed.exe"
mkdir -p "$work/nopath"
expect_failure "no osslsigncode" "Impossibile firmare il pacchetto: il programma osslsigncode non è installato." \
    env PATH="$work/nopath" VELASET_SIGN_PASSWORD='segreto di prova' "$velaset" build "$project" \
    -o "$work/failed.exe" --quiet "${pem[@]}"
expect_failure "a missing certificate" "Impossibile leggere $work/manca.pem" \
    "$velaset" build "$project" -o "$work/failed.exe" --quiet --sign-cert "$work/manca.pem" \
    --sign-key "$work/chiave.pem"
echo 'vecchio' >"$work/old.exe"
VELASET_SIGN_PASSWORD=sbagliata "$velaset" build "$project" -o "$work/old.exe" --quiet "${pem[@]}" 2>/dev/null
check "a failed signature leaves the old package as it was" grep -qx vecchio "$work/old.exe"
check "and no working file beside it" test -z "$(ls "$work" | grep -F '.~vs')"

finish
