#!/usr/bin/env bash
# Packages that velaset builds from projects, installed silently and removed by their
# uninstall entry's command, one row each: unusual but legal names (Windows-1252 letters,
# "%", commas, quotes; "%" and quotes in texts the script carries as "%%" and doubled
# quotes); files that the building volume gives no 8.3 name (Windows 8 and later leave
# new volumes so; velaset plays one through VELASET_NO_SHORT_NAMES), whose names the
# package makes itself; a package for one user (Ambito=utente), all of it under the
# user's folders and HKCU, its runtime in its folder.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
e2e_begin projects
v=$E2E_VELASET

unusual_names() {
  local sources="$E2E_ARTIFACTS/sorgenti/cartella con spazi+più,punto;virgola=uguale[quadra"
  local project="$E2E_ARTIFACTS/Strani.mip" folder="$E2E_PROGRAM_FILES/Nomi Strani"
  local group='Gruppo 100%' label='Strani "1.0" al 100%' name place file
  local files=("Però.txt" "Schön.dat" "readme.txt" "100% pronto.txt" "Uno, due; tre.txt" "'citato'.txt")
  # Each link: its name, its place (P the group, D the desktop), its file.
  local links=("Link 100%|P|100% pronto.txt" "a%%b|P|readme.txt" "%PROGDIR%|D|'citato'.txt")
  mkdir -p "$sources"
  "$v" new "$project" --title 'Strani 100%' >/dev/null &&
    "$v" set "$project" "DefDir=Nomi Strani" "NomeGruppo=$group" "LabelControl=$label" \
      Uninstall=1 'UninstallString=Disinstalla 100%' >/dev/null || e2e_fail "the project"
  for name in "${files[@]}"; do
    echo "contenuto di $name" >"$sources/$name"
    "$v" add "$project" "$sources/$name" >/dev/null || e2e_fail "velaset add $name failed"
    row_same+=("$folder/$name|$sources/$name")
  done
  for link in "${links[@]}"; do
    IFS='|' read -r name place file <<<"$link"
    "$v" link "$project" add "$file" "$name" "$place" >/dev/null || e2e_fail "velaset link add $name"
    where="$E2E_PROGRAMS/$group"
    [ "$place" = D ] && where=$E2E_DESKTOP_DIR
    row_links+=("$where/$name.lnk|\\$file")
  done
  e2e_build "$project" "$E2E_ARTIFACTS/Strani_setup.exe"
  row_present=("$E2E_PROGRAMS/$group/Disinstalla 100%.lnk")
  row_absent=("$E2E_PROGRAM_FILES_X86/Nomi Strani")
  row_entry="$E2E_UNINSTALL_KEY\\Strani 100%"
  row_values=("$row_entry|DisplayName|$label")
  row_gone=("$folder" "$E2E_PROGRAMS/$group" "$E2E_DESKTOP_DIR/%PROGDIR%.lnk")
  e2e_row_install "$E2E_ARTIFACTS/Strani_setup.exe"
  e2e_expect_no_short_names "$folder"
  e2e_row_uninstall

  # Nineteen folders of eight letters keep their names as short names.
  local deep="$E2E_ARTIFACTS/sorgenti/$(printf 'abcdefgh/%.0s' $(seq 1 19))x" message
  mkdir -p "$deep" && echo profondo >"$deep/profondo.txt"
  "$v" new "$E2E_ARTIFACTS/Lungo.mip" --title Lungo >/dev/null
  cp "$E2E_ARTIFACTS/Lungo.mip" "$E2E_ARTIFACTS/Lungo.before"
  message=$("$v" add "$E2E_ARTIFACTS/Lungo.mip" "$deep/profondo.txt" 2>&1) &&
    e2e_fail "add took a file beyond the short-path buffer"
  grep -qF "Il file $deep/profondo.txt non può essere aggiunto: il suo percorso corto (8.3) supera i 164 caratteri" \
    <<<"$message" || e2e_fail "add message: $message"
  cmp -s "$E2E_ARTIFACTS/Lungo.mip" "$E2E_ARTIFACTS/Lungo.before" || e2e_fail "the refused add changed the project"
}

made_names() {
  local sources="$E2E_ARTIFACTS/senza nomi corti" project="$E2E_ARTIFACTS/NomiFatti.mip"
  local folder="$E2E_PROGRAM_FILES/Nomi Fatti" name packed listing
  local names=("Leggimi per primo.txt" "Leggimi per secondo.txt" "a+b.txt" "readme.txt"
    "uno/Documento lungo.txt" "due/Documento largo.txt")
  mkdir -p "$sources/uno" "$sources/due"
  for name in "${names[@]}"; do
    echo "contenuto di $name" >"$sources/$name"
    row_same+=("$folder/$(basename "$name")|$sources/$name")
  done
  VELASET_NO_SHORT_NAMES=1 "$v" new "$project" --title NomiFatti >/dev/null &&
    VELASET_NO_SHORT_NAMES=1 "$v" set "$project" "DefDir=Nomi Fatti" >/dev/null &&
    VELASET_NO_SHORT_NAMES=1 "$v" add "$project" "${names[@]/#/$sources/}" >/dev/null ||
    e2e_fail "the project"
  VELASET_NO_SHORT_NAMES=1 e2e_build "$project" "$E2E_ARTIFACTS/NomiFatti_setup.exe"
  listing=$(cabextract -l "$E2E_ARTIFACTS/NomiFatti_setup.exe" 2>/dev/null)
  for packed in LEGGIM~1.TXT LEGGIM~2.TXT A_B~1.TXT readme.txt DOCUME~1.TXT DOCUME~2.TXT; do
    grep -qF " | $packed" <<<"$listing" || e2e_fail "the cabinet lacks $packed: $listing"
  done
  row_entry="$E2E_UNINSTALL_KEY\\NomiFatti"
  row_gone=("$folder")
  e2e_row_install "$E2E_ARTIFACTS/NomiFatti_setup.exe"
  e2e_expect_no_short_names "$folder"
  e2e_row_uninstall
}

per_user() {
  local src="$E2E_ARTIFACTS/src" project="$E2E_ARTIFACTS/Utente.mip" exe="$E2E_ARTIFACTS/Utente_setup.exe"
  local folder="$(e2e_user_dir)/AppData/Local/Programs/Utente" runtimes_before
  mkdir -p "$src"
  cp "$E2E_MARKER" "$src/Prog.exe"
  echo "leggimi" >"$src/Leggimi lungo.txt"
  "$v" new "$project" --title Utente >/dev/null &&
    "$v" set "$project" DefDir=Utente Ambito=utente Versione=3.1 "Editore=Rossi" >/dev/null &&
    "$v" add "$project" "$src/Prog.exe" "$src/Leggimi lungo.txt" >/dev/null &&
    "$v" link "$project" add Prog.exe Prog P >/dev/null &&
    "$v" link "$project" add Prog.exe Prog D >/dev/null &&
    "$v" reg "$project" add HKCU 'Software\VelasetUtente' Cartella '%PROGDIR%' >/dev/null ||
    e2e_fail "the project"
  e2e_build "$project" "$exe"
  [ "$(head -c "$E2E_STUB_SIZE" "$exe" | grep -a -c 'level="asInvoker"           />')" -eq 1 ] ||
    e2e_fail "the stub of the package still asks for an administrator"
  runtimes_before=$(find "$E2E_SYSTEM" -maxdepth 1 -iname avviora.dll | wc -l)
  row_entry='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Utente'
  row_present=("$folder/Prog.exe" "$folder/Leggimi lungo.txt" "$E2E_PROGRAMS/Utente/Prog.lnk"
    "$E2E_DESKTOP_DIR/Prog.lnk")
  row_absent=("$E2E_PROGRAM_FILES/Utente" "$E2E_PROGRAM_FILES_X86/Utente")
  row_values=("$row_entry|DisplayVersion|REG_SZ *3.1$" "$row_entry|InstallLocation|Programs\\\\Utente$"
    'HKCU\Software\VelasetUtente|Cartella|REG_SZ')
  row_gone=("$folder" "$E2E_PROGRAMS/Utente" "$E2E_DESKTOP_DIR/Prog.lnk")
  row_gone_keys=('HKCU\Software\VelasetUtente')
  e2e_row_install "$exe"
  [ -n "$(find "$folder" -maxdepth 1 -iname avviora.dll)" ] || e2e_fail "no runtime in $folder"
  [ "$(find "$E2E_SYSTEM" -maxdepth 1 -iname avviora.dll | wc -l)" -eq "$runtimes_before" ] ||
    e2e_fail "the runtime went into the system folder"
  e2e_expect_no_key "$E2E_UNINSTALL_KEY\\Utente" \
    'HKCU\Software\Microsoft\Windows\CurrentVersion\RenameFiles\SplashD'
  e2e_row_uninstall
}

for row in unusual_names made_names per_user; do
  e2e_log "$row"
  e2e_row_clear
  "$row"
done
e2e_log "passed"
