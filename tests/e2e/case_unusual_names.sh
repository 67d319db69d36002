#!/usr/bin/env bash
# Unusual but legal names, built by velaset and installed silently: files with
# Windows-1252 letters ("Però.txt", "Schön.dat"), an 8.3 name in lower case
# ("readme.txt"), a "%", commas, a semicolon and quotes, in a folder whose name
# holds blanks, "+", ",", ";", "=" and "["; a title, a program group, links and
# the Control Panel's label with "%" and quotes, which the script carries as
# "%%" and doubled quotes. They install under their names, the links point at
# their files, and everything goes at the uninstall. A file whose short path
# does not fit the system's 164-character buffer is refused by add.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
source "$(dirname "$0")/hostile_lib.sh"
e2e_begin unusual_names
sources="$E2E_ARTIFACTS/sorgenti/cartella con spazi+più,punto;virgola=uguale[quadra"
mkdir -p "$sources"
files=("Però.txt" "Schön.dat" "readme.txt" "100% pronto.txt" "Uno, due; tre.txt" "'citato'.txt")
for name in "${files[@]}"; do
  echo "contenuto di $name" >"$sources/$name"
done
project="$E2E_ARTIFACTS/Strani.mip"
exe="$E2E_ARTIFACTS/Strani_setup.exe"
group='Gruppo 100%'
label='Strani "1.0" al 100%'
"$E2E_VELASET" new "$project" --title 'Strani 100%' >/dev/null || e2e_fail "velaset new failed"
"$E2E_VELASET" set "$project" "DefDir=Nomi Strani" "NomeGruppo=$group" "LabelControl=$label" \
  Uninstall=1 'UninstallString=Disinstalla 100%' >/dev/null || e2e_fail "velaset set failed"
for name in "${files[@]}"; do
  "$E2E_VELASET" add "$project" "$sources/$name" >/dev/null || e2e_fail "velaset add $name failed"
done
# Each link: its name, its place (P the group, D the desktop), its file.
links=("Link 100%|P|100% pronto.txt" "a%%b|P|readme.txt" "%PROGDIR%|D|'citato'.txt")
for link in "${links[@]}"; do
  IFS='|' read -r name place file <<<"$link"
  "$E2E_VELASET" link "$project" add "$file" "$name" "$place" >/dev/null ||
    e2e_fail "velaset link add $name failed"
done
e2e_build "$project" "$exe"

folder="$E2E_PROGRAM_FILES/Nomi Strani"
e2e_run_silent "$exe" /S
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "exit code $E2E_EXIT, expected 0"
for name in "${files[@]}"; do
  cmp -s "$folder/$name" "$sources/$name" || e2e_fail "$name is not installed under its name"
done
[ "$(find "$folder" -maxdepth 1 -name '*~*' | wc -l)" -eq 0 ] || e2e_fail "short names left: $(ls "$folder")"
for link in "${links[@]}"; do
  IFS='|' read -r name place file <<<"$link"
  where="$E2E_PROGRAMS/$group"
  [ "$place" = D ] && where=$E2E_DESKTOP_DIR
  e2e_link_mentions "$where/$name.lnk" "\\$file" ||
    e2e_fail "the link $where/$name.lnk does not start $file"
done
e2e_expect_present "$E2E_PROGRAMS/$group/Disinstalla 100%.lnk"
e2e_reg_query "$E2E_UNINSTALL_KEY\\Strani 100%" DisplayName | grep -qF "$label" ||
  e2e_fail "the Control Panel's label is not $label: $(e2e_reg_query "$E2E_UNINSTALL_KEY\\Strani 100%" DisplayName)"
e2e_expect_no_working_files
e2e_expect_absent "$E2E_PROGRAM_FILES_X86/Nomi Strani"

progdir=$(e2e_installed_progdir "$folder")
e2e_run_silent rundll32.exe avviora.dll,Disinstalla /S "$progdir"
e2e_expect_absent "$folder" "$E2E_PROGRAMS/$group" "$E2E_DESKTOP_DIR/%PROGDIR%.lnk"
! e2e_reg_query "$E2E_UNINSTALL_KEY\\Strani 100%" >/dev/null || e2e_fail "the uninstall entry is still there"
e2e_remove_runtime

# Nineteen folders of eight letters keep their names as short names.
deep="$E2E_ARTIFACTS/sorgenti/$(printf 'abcdefgh/%.0s' $(seq 1 19))x"
mkdir -p "$deep" && echo profondo >"$deep/profondo.txt"
"$E2E_VELASET" new "$E2E_ARTIFACTS/Lungo.mip" --title Lungo >/dev/null
cp "$E2E_ARTIFACTS/Lungo.mip" "$E2E_ARTIFACTS/Lungo.before"
message=$("$E2E_VELASET" add "$E2E_ARTIFACTS/Lungo.mip" "$deep/profondo.txt" 2>&1) &&
  e2e_fail "add took a file beyond the short-path buffer"
grep -qF "Il file $deep/profondo.txt non può essere aggiunto: il suo percorso corto (8.3) supera i 164 caratteri" \
  <<<"$message" || e2e_fail "add message: $message"
cmp -s "$E2E_ARTIFACTS/Lungo.mip" "$E2E_ARTIFACTS/Lungo.before" || e2e_fail "the refused add changed the project"
e2e_log "passed"
