#!/usr/bin/env bash
# Runs of the velaset command on one project at the same time, and runs stopped half
# way: concurrent_runs.sh PROGRAM [native|wine] [ROUNDS]
#
# Every run ends with exit code 0, or 1 and a message; the project file is always one
# of the states a whole run leaves (never shortened, never a mix, no change lost); the
# package is always the one a build alone makes. Natively also: a save that runs out
# of room (ulimit -f) fails with a message and leaves the project file as it was, and
# a run killed while saving leaves it as it was too.
set -euo pipefail
program=$1
mode=${2:-native}
rounds=${3:-6}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

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
fail() { echo "concurrent_runs ($mode): $*" >&2; exit 1; }

# Waits for the runs started in the background; each must end with 0, or with 1 and a
# message of velaset on its error stream. $done_well: how many ended with 0.
collect() { # collect NAME...
    local name code
    done_well=0
    for name in "$@"; do
        code=0
        wait "${pids[$name]}" || code=$?
        case "$code" in
            0) done_well=$((done_well + 1)) ;;
            1) grep -q '^velaset' "$work/$name.err" || fail "$name exited 1 without a message" ;;
            *) fail "$name exited $code: $(cat "$work/$name.err")" ;;
        esac
    done
}

mkdir -p "$work/src"
for i in 1 2 3 4 5 6; do
    head -c $((20000 * i)) /dev/urandom >"$work/src/file$i.dat"
done
project=$(path "$work/P.mip")
setup=$(path "$work/S.exe")
run new "$project" --title Prova >/dev/null 2>&1 || fail "new failed"
run add "$project" "$(path "$work/src/file1.dat")" "$(path "$work/src/file2.dat")" \
    >/dev/null 2>"$work/err" || fail "add failed: $(cat "$work/err")"

# A build alone: the package and the project file every build must leave.
run build "$project" -o "$setup" --quiet 2>"$work/err" || fail "build failed: $(cat "$work/err")"
cp "$work/S.exe" "$work/S.alone.exe"
cp "$work/P.mip" "$work/P.alone.mip"

declare -A pids
for round in $(seq "$rounds"); do
    names=()
    for k in 1 2 3 4; do
        run build "$project" -o "$setup" --quiet >/dev/null 2>"$work/b$k.err" &
        pids[b$k]=$!
        names+=(b$k)
    done
    collect "${names[@]}"
    [ "$done_well" -ge 1 ] || fail "round $round: no build ended well"
    cmp -s "$work/P.mip" "$work/P.alone.mip" || fail "round $round: the project file changed"
    cmp -s "$work/S.exe" "$work/S.alone.exe" || fail "round $round: the package differs"
done

# Concurrent changes: a change that a run reports done is in the file afterwards.
for round in $(seq "$rounds"); do
    cp "$work/P.alone.mip" "$work/P.mip"
    names=()
    for k in 3 4 5 6; do
        run add "$project" "$(path "$work/src/file$k.dat")" >/dev/null 2>"$work/a$k.err" &
        pids[a$k]=$!
        names+=(a$k)
    done
    run set "$project" "Caption=Giro $round" >/dev/null 2>"$work/s.err" &
    pids[s]=$!
    names+=(s)
    collect "${names[@]}"
    run show "$project" >"$work/shown" 2>"$work/err" || fail "round $round: show failed: $(cat "$work/err")"
    tr -d '\r' <"$work/shown" >"$work/shown.lf"
    for k in 3 4 5 6; do
        if [ -s "$work/a$k.err" ]; then continue; fi
        grep -q "file$k.dat,D\$" "$work/shown.lf" || fail "round $round: the added file$k.dat was lost"
    done
    if [ ! -s "$work/s.err" ]; then
        grep -qx "Caption=Giro $round" "$work/shown.lf" || fail "round $round: the new Caption was lost"
    fi
    # The shown project is the file as saved: nothing shortened.
    grep -q '^\[Messaggi\]$' "$work/shown.lf" || fail "round $round: the project file was cut short"
done

if [ "$mode" = native ]; then
    # No room for the new file: the save fails with a message, the old file stays.
    cp "$work/P.alone.mip" "$work/P.mip"
    for i in $(seq 40); do
        : >"$work/src/documento con un nome piuttosto lungo numero $i.txt"
    done
    code=0
    (ulimit -f 2; trap '' XFSZ; exec "$program" add "$project" "$work/src/documento con"*) \
        >/dev/null 2>"$work/err" || code=$?
    [ "$code" = 1 ] || fail "a save without room exited $code"
    grep -q "^velaset: Impossibile creare $work/P.mip, " "$work/err" ||
        fail "a save without room said: $(cat "$work/err")"
    cmp -s "$work/P.mip" "$work/P.alone.mip" || fail "a save without room changed the project file"
    ls "$work" | grep -q '^P\.mip\.~vs' && fail "a save without room left its working file"

    # Killed while it writes (the size limit's signal): the old file stays whole.
    code=0
    (ulimit -f 2; exec "$program" add "$project" "$work/src/documento con"*) \
        >/dev/null 2>&1 || code=$?
    [ "$code" -gt 128 ] || fail "the run was not killed (exit $code)"
    cmp -s "$work/P.mip" "$work/P.alone.mip" || fail "a killed save changed the project file"
    run add "$project" "$work/src/documento con"* >/dev/null 2>"$work/err" ||
        fail "add after a killed run failed: $(cat "$work/err")"
fi
echo "concurrent_runs ($mode): ok"
