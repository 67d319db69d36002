#!/usr/bin/env bash
# Unusual but legal names, built by velaset and installed silently: files with
# Windows-1252 letters ("Però.txt", "Schön.dat") and an 8.3 name in lower case
# ("readme.txt"), in a folder whose name holds blanks, "+", ",", ";", "=" and
# "[". They install under their long names and uninstall completely. A file
# whose short path does not fit the system's 164-character buffer stops the
# build with a message naming it, before any package is written.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
source "$(dirname "$0")/hostile_lib.sh"
e2e_begin unusual_names
sources="$E2E_ARTIFACTS/sorgenti/cartella con spazi+più,punto;virgola=uguale[quadra"
mkdir -p "$sources"
for name in "Però.txt" "Schön.dat" "readme.txt"; do
  echo "contenuto di $name" >"$sources/$name"
done
project="$E2E_ARTIFACTS/Strani.mip"
exe="$E2E_ARTIFACTS/Strani_setup.exe"
"$E2E_VELASET" new "$project" --title Strani >/dev/null || e2e_fail "velaset new failed"
"$E2E_VELASET" set "$project" "DefDir=Nomi Strani" >/dev/null || e2e_fail "velaset set failed"
"$E2E_VELASET" add "$project" "$sources/Però.txt" "$sources/Schön.dat" "$sources/readme.txt" \
  >/dev/null || e2e_fail "velaset add failed"
e2e_build "$project" "$exe"

folder="$E2E_PROGRAM_FILES/Nomi Strani"
e2e_run_silent "$exe" /S
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "exit code $E2E_EXIT, expected 0"
for name in "Però.txt" "Schön.dat" "readme.txt"; do
  cmp -s "$folder/$name" "$sources/$name" || e2e_fail "$name is not installed under its long name"
done
[ "$(find "$folder" -maxdepth 1 -name '*~*' | wc -l)" -eq 0 ] || e2e_fail "short names left: $(ls "$folder")"
e2e_expect_no_working_files
e2e_expect_absent "$E2E_PROGRAM_FILES_X86/Nomi Strani"

progdir=$(e2e_installed_progdir "$folder")
e2e_run_silent rundll32.exe avviora.dll,Disinstalla /S "$progdir"
e2e_expect_absent "$folder"
! e2e_reg_query "$E2E_UNINSTALL_KEY\\Strani" >/dev/null || e2e_fail "the uninstall entry is still there"
e2e_remove_runtime

# Nineteen folders of eight letters keep their names as short names.
deep="$E2E_ARTIFACTS/sorgenti/$(printf 'abcdefgh/%.0s' $(seq 1 19))x"
mkdir -p "$deep" && echo profondo >"$deep/profondo.txt"
"$E2E_VELASET" new "$E2E_ARTIFACTS/Lungo.mip" --title Lungo >/dev/null
"$E2E_VELASET" add "$E2E_ARTIFACTS/Lungo.mip" "$deep/profondo.txt" >/dev/null 2>&1 || true
message=$("$E2E_VELASET" build "$E2E_ARTIFACTS/Lungo.mip" -o "$E2E_ARTIFACTS/Lungo_setup.exe" \
  --quiet 2>&1) && e2e_fail "the build of a file beyond the short-path buffer succeeded"
grep -qF "Impossibile leggere il nome corto del file $deep/profondo.txt: il suo percorso corto supera i 164 caratteri." \
  <<<"$message" || e2e_fail "build message: $message"
e2e_expect_absent "$E2E_ARTIFACTS/Lungo_setup.exe"
e2e_log "passed"
