#!/usr/bin/env bash
# Files that the building machine's volume gives no 8.3 name, as Windows 8 and later
# leave new non-system volumes: the package makes their names itself (LEGGIM~1.TXT,
# LEGGIM~2.TXT, A_B~1.TXT, and DOCUME~1.TXT and DOCUME~2.TXT for two files of two
# folders, which the classic rule would both call DOCUME~1.TXT), packs them under those
# names, and the installation puts every file under its long name and the uninstall
# removes every one. The native velaset plays such a volume through its emulation
# setting.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/packages.sh"
source "$(dirname "$0")/hostile_lib.sh"
e2e_begin made_names
sources="$E2E_ARTIFACTS/senza nomi corti"
mkdir -p "$sources"
names=("Leggimi per primo.txt" "Leggimi per secondo.txt" "a+b.txt" "readme.txt"
       "uno/Documento lungo.txt" "due/Documento largo.txt")
mkdir -p "$sources/uno" "$sources/due"
for name in "${names[@]}"; do
  echo "contenuto di $name" >"$sources/$name"
done
project="$E2E_ARTIFACTS/NomiFatti.mip"
exe="$E2E_ARTIFACTS/NomiFatti_setup.exe"
export VELASET_NO_SHORT_NAMES=1
"$E2E_VELASET" new "$project" --title NomiFatti >/dev/null || e2e_fail "velaset new failed"
"$E2E_VELASET" set "$project" "DefDir=Nomi Fatti" >/dev/null || e2e_fail "velaset set failed"
"$E2E_VELASET" add "$project" "${names[@]/#/$sources/}" >/dev/null || e2e_fail "velaset add failed"
e2e_build "$project" "$exe"
unset VELASET_NO_SHORT_NAMES

listing=$(cabextract -l "$exe" 2>/dev/null)
for packed in LEGGIM~1.TXT LEGGIM~2.TXT A_B~1.TXT readme.txt DOCUME~1.TXT DOCUME~2.TXT; do
  grep -qF " | $packed" <<<"$listing" || e2e_fail "the cabinet lacks $packed: $listing"
done

folder="$E2E_PROGRAM_FILES/Nomi Fatti"
e2e_run_silent "$exe" /S
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "exit code $E2E_EXIT, expected 0"
for name in "${names[@]}"; do
  cmp -s "$folder/$(basename "$name")" "$sources/$name" ||
    e2e_fail "$name is not installed under its long name"
done
[ "$(find "$folder" -maxdepth 1 -name '*~*' | wc -l)" -eq 0 ] || e2e_fail "short names left: $(ls "$folder")"
e2e_expect_no_working_files

progdir=$(e2e_installed_progdir "$folder")
e2e_run_silent rundll32.exe avviora.dll,Disinstalla /S "$progdir"
e2e_expect_absent "$folder"
! e2e_reg_query "$E2E_UNINSTALL_KEY\\NomiFatti" >/dev/null || e2e_fail "the uninstall entry is still there"
e2e_remove_runtime
e2e_log "passed"
