#!/usr/bin/env bash
# End to end of `velaset build` on the example project, without windows: the layout of
# the setup executable, byte-identical packages (twice, and from an installed copy),
# SOURCE_DATE_EPOCH, a distribution-only build, the script-only run, builds that must
# fail without leaving a setup executable, and a large file compressed on several
# threads. (velaset-cli.exe under Wine builds the same project in
# build_demo_wine_test.sh.)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/e2e/build_lib.sh"

work=$root/build/e2e-build
rm -rf "$work"
mkdir -p "$work"
export TZ=UTC

project=$work/Demo.mip
make_demo_project "$velaset" "$payload" "$project" "$work/Demo.exe" >/dev/null ||
    fail_now "the example project could not be made"

# 1. Layout, and the same bytes on every run.
"$velaset" build "$project" -o "$work/a.exe" 2>"$work/a.err"
check "the demo builds" test $? -eq 0 -a -f "$work/a.exe"
check "progress goes to standard error as plain lines" \
    grep -qx 'velaset build: 100%' "$work/a.err"
check "the success message names the executable in capitals" \
    grep -qx 'Velaset: Il file A.EXE è stato creato!' "$work/a.err"
check "the setup executable starts with the stub image" \
    cmp -n 14336 "$work/a.exe" "$stub"
tail -c +14337 "$work/a.exe" >"$work/a.cab"
check "the rest of the setup executable is one valid cabinet" cabextract -q -t "$work/a.cab"
check "the cabinet holds the files by short name, the runtime and the script last" \
    test "$(cabinet_names "$work/a.cab")" = "Demo.exe LEGGIM~1.TXT Demo.hlp DemoReg.dll avviora.dll setup.inf"
"$velaset" build "$project" -o "$work/b.exe" --quiet 2>"$work/b.err"
check "--quiet prints nothing" test ! -s "$work/b.err"
check "a second build gives the same bytes" cmp "$work/a.exe" "$work/b.exe"

# 2. An installed copy, run from another folder, finds its files and builds the same.
cmake --install "$root/build/native" --prefix "$work/inst" >/dev/null
(cd / && "$work/inst/bin/velaset" build "$project" -o "$work/c.exe" --quiet)
check "an installed velaset builds the same package" cmp "$work/a.exe" "$work/c.exe"
check "the installed copy keeps the x64 files in the x64 folder beside the 32-bit ones" \
    cmp "$work/inst/bin/win32/x64/Avviora64.exe" "$stub64"

# 3. Without its Windows files the build says where it looked.
mkdir -p "$work/lonely"
cp "$velaset" "$work/lonely/velaset"
(cd "$work" && env -u VELASET_SYSTEM_DIR "$work/lonely/velaset" build "$project" -o "$work/d.exe" --quiet 2>"$work/d.err")
check "a missing stub fails the build" test $? -eq 1 -a ! -e "$work/d.exe"
check "the failure names the paths looked at" \
    grep -qF "Impossibile trovare Avviora.exe; cercato in: $work/lonely/win32/Avviora.exe, $work/lonely/Avviora.exe" "$work/d.err"

# 4. SOURCE_DATE_EPOCH clamps every time in the cabinet.
SOURCE_DATE_EPOCH=1262304000 "$velaset" build "$project" -o "$work/e.exe" --quiet
tail -c +14337 "$work/e.exe" >"$work/e.cab"
check "every file time is clamped to SOURCE_DATE_EPOCH" \
    test "$(cabextract -l "$work/e.cab" | grep -c '01.01.2010 00:00:00')" -eq 6

# 5. Distribution only: no runtime library, no uninstall support in the script.
make_demo_project "$velaset" "$payload" "$work/Dist.mip" "$work/dist.exe" >/dev/null
"$velaset" set "$work/Dist.mip" Distribuzione=1 >/dev/null
"$velaset" build "$work/Dist.mip" -o "$work/dist.exe" --quiet
tail -c +14337 "$work/dist.exe" >"$work/dist.cab"
check "a distribution-only package carries no runtime library" \
    test "$(cabinet_names "$work/dist.cab")" = "Demo.exe LEGGIM~1.TXT Demo.hlp DemoReg.dll setup.inf"
mkdir -p "$work/dist"
cabextract -q -d "$work/dist" -F setup.inf "$work/dist.cab"
check "its script has no uninstall entries" \
    bash -c "! grep -q 'UninstallString' '$work/dist/setup.inf'"

# 6. Script only: the script in the temporary folder, no executable.
mkdir -p "$work/tmp"
script=$(TMPDIR=$work/tmp "$velaset" build "$project" -o "$work/f.exe" --inf-only 2>/dev/null)
check "--inf-only prints the path of the script it wrote" test "$script" = "$work/tmp/setup.inf" -a -s "$work/tmp/setup.inf"
check "--inf-only writes no setup executable" test ! -e "$work/f.exe"

# 7. A source file that vanishes before packing (the editor removes it): the cabinet
#    library's messages, exit code 1, no setup executable, no working files.
cp "$payload/Demo.hlp" "$work/Sparisce.txt"
make_demo_project "$velaset" "$payload" "$work/Gone.mip" "$work/g.exe" >/dev/null
"$velaset" add "$work/Gone.mip" "$work/Sparisce.txt" >/dev/null
printf '#!/bin/sh\nrm -f "%s"\n' "$work/Sparisce.txt" >"$work/remover.sh"
chmod +x "$work/remover.sh"
mkdir -p "$work/tmp2"
TMPDIR=$work/tmp2 EDITOR=$work/remover.sh VISUAL= "$velaset" build "$work/Gone.mip" -o "$work/g.exe" --edit 2>"$work/g.err"
check "a vanished file fails the build" test $? -eq 1 -a ! -e "$work/g.exe"
check "with the cabinet library's messages" \
    grep -qF 'DarEvizeza: FCIAddFile() failed: code 1 [Failure opening file to be stored in cabinet]' "$work/g.err"
check "and its final message" grep -qF 'DarEvizeza: Impossibile creare il file CAB!!!' "$work/g.err"
check "and never the success message" bash -c "! grep -q 'è stato creato' '$work/g.err'"
check "the build leaves no working files" test -z "$(ls "$work/tmp2")"

# 8. A large file, cut into pieces that several threads compress at once, gives the same
#    package as one thread.
{ seq 1 300000 | awk '{ print ($1 * 7919) % 104729, "riga di prova del file grande" }'
  cat "$velaset"
  seq 1 200000 | awk '{ print $1, ($1 * 31) % 997 }'; } >"$work/GRANDE.DAT"
make_demo_project "$velaset" "$payload" "$work/Big.mip" "$work/big.exe" >/dev/null
"$velaset" add "$work/Big.mip" "$work/GRANDE.DAT" >/dev/null
for threads in 1 2 4; do
    VELASET_COMPRESS_THREADS=$threads "$velaset" build "$work/Big.mip" -o "$work/big$threads.exe" --quiet
done
check "a package with a large file builds" test -s "$work/big1.exe"
check "two threads give the same package as one" cmp "$work/big1.exe" "$work/big2.exe"
check "four threads give the same package as one" cmp "$work/big1.exe" "$work/big4.exe"
tail -c +14337 "$work/big2.exe" >"$work/big2.cab"
check "and cabextract reads the large file back" \
    bash -c "cabextract -q -p -F GRANDE.DAT '$work/big2.cab' | cmp - '$work/GRANDE.DAT'"

# 9. x64 packages: the 64-bit payload with "--arch x64" for one build (the project file
#    is saved as it was: no architecture key), or with Architettura=x64 in the project:
#    Avviora64.exe in front, the 64-bit runtime packed, the same bytes both ways, also
#    from the installed copy.
project64=$work/Demo64.mip
make_demo_project "$velaset" "$payload64" "$project64" "$work/x64.exe" >/dev/null ||
    fail_now "the x64 example project could not be made"
cp "$project64" "$work/Demo64.before"
"$velaset" build "$project64" -o "$work/x64-arch.exe" --arch x64 --quiet 2>"$work/x64.err"
check "--arch x64 builds the x64 package" test $? -eq 0 -a -f "$work/x64-arch.exe"
check "the x64 package starts with Avviora64.exe" cmp -n "$stub64_size" "$work/x64-arch.exe" "$stub64"
tail -c +$((stub64_size + 1)) "$work/x64-arch.exe" >"$work/x64.cab"
check "its cabinet holds the files, the runtime and the script" \
    test "$(cabinet_names "$work/x64.cab")" = "Demo.exe LEGGIM~1.TXT Demo.hlp DemoReg.dll avviora.dll setup.inf"
mkdir -p "$work/x64cab"
cabextract -q -d "$work/x64cab" "$work/x64.cab"
check "the packed runtime is the 64-bit one" cmp "$work/x64cab/avviora.dll" "$root/build/bin/win32/x64/avviora.dll"
check "the x64 package's script is the same text as the x86 one's" \
    cmp "$work/x64cab/setup.inf" <(cd "$work" && TMPDIR=$work/tmp "$velaset" build "$project64" --inf-only 2>/dev/null | xargs cat)
check "--arch leaves the project file as it was" cmp "$project64" "$work/Demo64.before"
"$velaset" set "$project64" Architettura=x64 >/dev/null
check "the project file stores Architettura=x64" grep -q $'^Architettura=x64\r$' "$project64"
"$velaset" build "$project64" -o "$work/x64-set.exe" --quiet
check "Architettura=x64 gives the same package as --arch x64" cmp "$work/x64-arch.exe" "$work/x64-set.exe"
(cd / && "$work/inst/bin/velaset" build "$project64" -o "$work/x64-inst.exe" --quiet)
check "the installed copy builds the same x64 package" cmp "$work/x64-arch.exe" "$work/x64-inst.exe"

# 10. "--arch x86" over Architettura=x64 reaches the check of the library to register
#     (its every case: build_pipeline_test); no x64 package gets a 32-bit runtime: refused
#     with the file's name, nothing written.
"$velaset" build "$project64" -o "$work/mix2.exe" --arch x86 --quiet 2>"$work/mix2.err"
check "an x86 package of the 64-bit payload is refused" test $? -eq 1 -a ! -e "$work/mix2.exe"
check "naming the 64-bit library to register" grep -qF \
    "Velaset: La libreria da registrare $payload64/DemoReg.dll è a 64 bit (x64)" "$work/mix2.err"
mkdir -p "$work/wrong/x64"
cp "$stub64" "$work/wrong/x64/"
cp "$root/build/bin/win32/avviora.dll" "$work/wrong/x64/avviora.dll"
(cd "$work" && VELASET_SYSTEM_DIR=$work/wrong "$work/lonely/velaset" build "$project64" -o "$work/mix3.exe" --quiet 2>"$work/mix3.err")
check "an x64 package without a 64-bit runtime fails" test $? -eq 1 -a ! -e "$work/mix3.exe"
check "naming the 32-bit runtime it passed over" grep -qF \
    "Impossibile trovare avviora.dll per x64 (64 bit); cercato in: $work/wrong/avviora.dll, $work/wrong/x64/avviora.dll, $work/lonely/x64/avviora.dll, $work/lonely/win32/x64/avviora.dll; $work/wrong/x64/avviora.dll è a 32 bit (x86)" "$work/mix3.err"

finish
