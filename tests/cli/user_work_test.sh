#!/usr/bin/env bash
# The shipped velaset command never loses a user's work, replayed as a new user meets
# it: a project moved with its files, a file where a folder should be, an output folder
# that cannot be written, an editor that fails, and the progress of a long build (the load's own cases are in-process tests). Each failure ends with an Italian message and exit code 1, the project file byte
# for byte as before and no working file left in TMPDIR; a project moved with its files
# builds the same package as before the move.
#   user_work_test.sh VELASET
set -uo pipefail
velaset=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$(mktemp -d)
immutable=
cleanup() {
    [ -z "$immutable" ] || chattr -i "$immutable" 2>/dev/null
    chmod -R u+w "$work" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

export TMPDIR=$work/tmp LC_ALL=C.UTF-8
mkdir -p "$TMPDIR" "$work/sys"
# Stand-ins with the headers of 32-bit Windows images (the builder reads their machine).
pe_header() { printf 'MZ'; head -c 58 /dev/zero; printf '\x40\x00\x00\x00PE\x00\x00\x4c\x01'; }
{ pe_header; head -c $((14336 - 70)) /dev/zero; } >"$work/sys/Avviora.exe"
{ pe_header; printf 'runtime'; } >"$work/sys/avviora.dll"
export VELASET_SYSTEM_DIR=$work/sys

# run NAME ARGS...: velaset ARGS with stdout and stderr in $work/NAME.out / NAME.err;
# $code is its exit code.
run() {
    local name=$1
    shift
    code=0
    "$velaset" "$@" >"$work/$name.out" 2>"$work/$name.err" || code=$?
}
expect() { # expect NAME CODE TEXT: the exit code, and TEXT on the error stream
    [ "$code" = "$2" ] || fail "$1: exit code $code, expected $2: $(cat "$work/$1.err")"
    grep -qF -- "$3" "$work/$1.err" || fail "$1: no \"$3\" in: $(cat "$work/$1.err")"
}
untouched() { # untouched NAME PROJECT COPY: the project as before, no working file
    cmp -s "$2" "$3" || fail "$1: the project file changed"
    local left
    left=$(ls -A "$TMPDIR")
    [ -z "$left" ] || fail "$1: working files left in TMPDIR: $left"
}

# A project in its own folder: a program, a text with a long name, a link.
make_project() { # make_project FOLDER
    mkdir -p "$1/dist"
    printf 'MZ programma' >"$1/dist/Mio.exe"
    printf 'Leggimi\r\n' >"$1/dist/Leggimi per primo.txt"
    touch -d '2024-05-01 10:00:00' "$1/dist/"*
    "$velaset" new "$1/Mio.mip" --title Mio >/dev/null 2>&1 &&
        "$velaset" add "$1/Mio.mip" "$1/dist/Mio.exe" "$1/dist/Leggimi per primo.txt" \
            >/dev/null 2>&1 &&
        "$velaset" link "$1/Mio.mip" add Mio.exe Mio P >/dev/null 2>&1 &&
        "$velaset" set "$1/Mio.mip" ChkLancio=1 Lancio=Mio.exe >/dev/null 2>&1 ||
        { echo "FAIL: the project in $1 could not be made" >&2; exit 1; }
}

# 1. Moved together with its files, the project builds the same package as before.
make_project "$work/due"
run before build "$work/due/Mio.mip" --quiet
[ "$code" = 0 ] || fail "before the move: $(cat "$work/before.err")"
cp "$work/due/Mio.exe" "$work/prima.exe"
mv "$work/due" "$work/tre"
run after build "$work/tre/Mio.mip"
expect after 0 "$work/due/dist/Mio.exe: trovato in $work/tre/dist/Mio.exe"
cmp -s "$work/prima.exe" "$work/tre/Mio.exe" ||
    fail "after the move: the package differs from the one built before it"
grep -qF "ExeFile=$work/tre/Mio.exe" "$work/tre/Mio.mip" &&
    grep -qF "1=$work/tre/dist/Mio.exe,D" "$work/tre/Mio.mip" ||
    fail "after the move: the new places were not saved: $(cat "$work/tre/Mio.mip")"

# 2. A file where a folder should be; the system's reasons in Italian.
printf 'Caro diario,\noggi ho provato Velaset.\n' >"$work/testo.mip"
run notfolder build "$work/tre/Mio.mip" -o "$work/testo.mip/Setup.exe"
expect notfolder 1 "$work/testo.mip è un file, non una cartella"
run notdir new "$work/testo.mip/Nuovo.mip"
expect notdir 1 "Non è una directory"
if grep -qiE 'No such|not a directory|denied|Permission' "$work/notdir.err"; then
    fail "notdir: a reason in English: $(cat "$work/notdir.err")"
fi

# 3. An output folder that cannot be written is found out before anything is packed.
make_project "$work/cinque"
mkdir -p "$work/sola-lettura"
if [ "$(id -u)" = 0 ]; then
    chattr +i "$work/sola-lettura" && immutable=$work/sola-lettura
else
    chmod a-w "$work/sola-lettura"
fi
cp "$work/cinque/Mio.mip" "$work/copy.mip"
run readonly build "$work/cinque/Mio.mip" -o "$work/sola-lettura/Setup.exe"
expect readonly 1 "Impossibile creare $work/sola-lettura/Setup.exe, "
if grep -q 'compressione di\|velaset build: 10%' "$work/readonly.err"; then
    fail "readonly: found out only after work was done: $(cat "$work/readonly.err")"
fi
untouched readonly "$work/cinque/Mio.mip" "$work/copy.mip"
[ -z "$immutable" ] || { chattr -i "$immutable"; immutable=; }

# 4. An editor that fails (a program to start that the package lacks: the pipeline's tests).
cp "$work/cinque/Mio.mip" "$work/copy.mip"
EDITOR=false VISUAL='' run editor build "$work/cinque/Mio.mip" --edit
expect editor 1 "è terminato in modo anomalo (codice di uscita 1): il pacchetto non è stato creato"
untouched editor "$work/cinque/Mio.mip" "$work/copy.mip"
[ ! -e "$work/cinque/Mio.exe" ] || fail "editor: a package was built"

# 5. The bar moves with the bytes compressed and says what it packs.
base64 -w 76 </dev/urandom | head -c 6000000 >"$work/cinque/dist/Grande.txt"
"$velaset" add "$work/cinque/Mio.mip" "$work/cinque/dist/Grande.txt" >/dev/null 2>&1
run progress build "$work/cinque/Mio.mip"
expect progress 0 "velaset build: 3"
moving=$(grep -c "% - compressione di $work/cinque/dist/Grande.txt\$" "$work/progress.err")
[ "$moving" -ge 5 ] || fail "progress: $moving lines while Grande.txt was packed: $(cat "$work/progress.err")"
if command -v script >/dev/null; then
    # On a terminal: one bar redrawn in place, with the megabytes and the file's name.
    script -qec "'$velaset' build '$work/cinque/Mio.mip'" /dev/null >"$work/tty.out" 2>&1
    grep -qF " MB  Grande.txt" "$work/tty.out" || fail "progress on a terminal: $(cat -v "$work/tty.out")"
fi

[ "$failures" = 0 ] || exit 1
echo "user_work_test: ok"
