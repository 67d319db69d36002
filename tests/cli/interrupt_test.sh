#!/usr/bin/env bash
# Interrupts of a real `velaset build` of a large payload over the package of an earlier
# build: SIGINT, SIGTERM and SIGKILL at several points (fractions of the time an
# uninterrupted build takes), and SIGTERM while the editor of --edit runs. After SIGINT
# and SIGTERM: exit code 130 or 143, the private folder and the cabinet library's spill
# files gone from TMPDIR, the earlier package byte for byte as it was and nothing beside
# it, the project file byte for byte as before. After SIGKILL the earlier package is
# whole too; the next build removes the working file that the killed one left.
#   interrupt_test.sh VELASET
set -uo pipefail
velaset=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The build's own temporary folder, and Windows files that it packs (a stand-in stub:
# the headers of a 32-bit program and the stub's size; the runtime library).
export TMPDIR=$work/tmp
mkdir -p "$TMPDIR" "$work/sys" "$work/proj/dati" "$work/out"
# Stand-ins with the headers of 32-bit Windows images (the builder reads their machine).
pe_header() { printf 'MZ'; head -c 58 /dev/zero; printf '\x40\x00\x00\x00PE\x00\x00\x4c\x01'; }
{ pe_header; head -c $((14336 - 70)) /dev/zero; } >"$work/sys/Avviora.exe"
{ pe_header; printf 'runtime'; } >"$work/sys/avviora.dll"
export VELASET_SYSTEM_DIR=$work/sys

# About 40 MB in four files: text that compresses, and random bytes that do not.
for i in 1 2; do
    base64 -w 76 </dev/urandom | head -c 12000000 >"$work/proj/dati/testo$i.txt"
    head -c 8000000 /dev/urandom >"$work/proj/dati/casuale$i.bin"
done
project=$work/proj/Grande.mip
"$velaset" new "$project" --title Grande >/dev/null 2>&1 || { echo "FAIL: new" >&2; exit 1; }
"$velaset" add "$project" "$work/proj/dati" --recursive >/dev/null 2>&1 ||
    { echo "FAIL: add" >&2; exit 1; }
"$velaset" set "$project" "ExeFile=$work/out/Grande.exe" >/dev/null 2>&1 ||
    { echo "FAIL: set" >&2; exit 1; }
cp "$project" "$work/before.mip"

old_package() { # the package of an earlier build, at the output path
    printf 'MZ un pacchetto di prima' >"$work/out/Grande.exe"
    cp "$work/out/Grande.exe" "$work/old.exe"
}

clean() { # clean WHAT: TMPDIR empty, the earlier package alone and whole, the project unchanged
    local left
    left=$(ls -A "$TMPDIR")
    [ -z "$left" ] || fail "$1: working files left in TMPDIR: $left"
    left=$(ls -A "$work/out")
    [ "$left" = Grande.exe ] || fail "$1: the output folder holds: $left"
    cmp -s "$work/out/Grande.exe" "$work/old.exe" || fail "$1: the earlier package changed"
    cmp -s "$project" "$work/before.mip" || fail "$1: the project file changed"
}

# One uninterrupted build tells how long a build takes here.
start=$(date +%s%N)
"$velaset" build "$project" --quiet 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
took=$(( ($(date +%s%N) - start) / 1000000 ))
[ -s "$work/out/Grande.exe" ] || { echo "FAIL: the reference build made nothing" >&2; exit 1; }
rm -f "$work/out/Grande.exe"
cmp -s "$project" "$work/before.mip" || fail "the reference build changed the project file"
[ "$took" -ge 400 ] || { echo "FAIL: a build took only $took ms: the payload is too small" >&2; exit 1; }
echo "an uninterrupted build takes $took ms" >&2

interrupt() { # interrupt SIGNAL PERCENT: a build over the earlier package, signalled at
    # PERCENT of the time a build takes; $code is its exit code
    old_package
    "$velaset" build "$project" 2>"$work/err" &
    local pid=$!
    sleep "$(awk -v t="$took" -v p="$2" 'BEGIN { printf "%.3f", t * p / 100000 }')"
    kill -s "$1" "$pid" 2>/dev/null
    { wait "$pid"; } 2>/dev/null
    code=$?
}

# Interrupts at 2 % to 80 % of that time, SIGINT and SIGTERM in turn. A build that ends
# before its signal (a machine busier at first) missed its point; most must hit theirs.
n=0
hit=0
for percent in 2 10 25 45 65 80; do
    n=$((n + 1))
    if [ $((n % 2)) = 1 ]; then signal=INT want=130; else signal=TERM want=143; fi
    interrupt "$signal" "$percent"
    what="SIG$signal at $percent %"
    if [ "$code" = 0 ]; then
        echo "$what: the build ended before the interrupt"
        continue
    fi
    hit=$((hit + 1))
    [ "$code" = "$want" ] || fail "$what: exit code $code, expected $want: $(cat "$work/err")"
    grep -q 'velaset build: Creazione interrotta' "$work/err" ||
        fail "$what: no Italian message: $(cat "$work/err")"
    clean "$what"
done

[ "$hit" -ge 4 ] || fail "only $hit interrupts came during a build"

# SIGKILL gives the build no chance to clean up: the earlier package stays whole all the
# same, and the working file beside it goes with the next build to that output (each
# build removes what the killed one before it left), which replaces the package.
killed=0
left_behind=0
for percent in 10 40 75 95; do
    interrupt KILL "$percent"
    what="SIGKILL at $percent %"
    if [ "$code" = 0 ]; then
        echo "$what: the build ended before the signal"
        continue
    fi
    killed=$((killed + 1))
    cmp -s "$work/out/Grande.exe" "$work/old.exe" || fail "$what: the earlier package changed"
    cmp -s "$project" "$work/before.mip" || fail "$what: the project file changed"
    left=$(ls -A "$work/out" | grep -v '^Grande\.exe$')
    working=$(grep -c '^Grande\.exe\.~vs[a-z0-9]\{6\}$' <<<"$left")
    [ "$working" -le 1 ] && [ "$working" = "$(grep -c . <<<"$left")" ] ||
        fail "$what: the output folder holds: $left"
    left_behind=$((left_behind + working))
    rm -rf "$TMPDIR"/* # what the killed build left there is no concern of this test
done
[ "$killed" -ge 2 ] || fail "only $killed kills came during a build"
[ "$left_behind" -ge 1 ] || fail "no killed build left a working file for the next one"
old_package
printf 'MZ un file di chi usa la cartella' >"$work/out/Grande.exe.~vsnota"
"$velaset" build "$project" --quiet 2>"$work/err" || fail "the build after the kills: $(cat "$work/err")"
left=$(ls -A "$work/out" | tr '\n' ' ')
[ "$left" = "Grande.exe Grande.exe.~vsnota " ] || fail "after the next build the output folder holds: $left"
rm "$work/out/Grande.exe.~vsnota"
cmp -s "$work/out/Grande.exe" "$work/old.exe" && fail "the next build did not replace the package"

# While the editor of --edit runs, SIGTERM waits for the editor, then stops the build.
cat >"$work/editor" <<'EOF'
#!/bin/sh
sleep 1
EOF
chmod +x "$work/editor"
old_package
EDITOR=$work/editor VISUAL='' "$velaset" build "$project" --edit 2>"$work/err" &
pid=$!
sleep 0.3
kill -s TERM "$pid"
wait "$pid"
code=$?
[ "$code" = 143 ] || fail "SIGTERM in the editor: exit code $code: $(cat "$work/err")"
clean "SIGTERM in the editor"

[ "$failures" = 0 ] || exit 1
echo "interrupt_test: ok"
