#!/usr/bin/env bash
# How many planted faults the native tier catches. Each fault of faults.txt is applied
# alone to a copy of the source tree, the copy's native tree is rebuilt, and its native
# tests run (the Wine cases left out); a fault is caught when a test fails.
#   bench/planted_faults/run.sh [COMMIT [FAULTS-FILE]]
# COMMIT (default HEAD) names the sources to plant the faults in: the committed tree,
# never the working files.
# Prints one line per fault (caught, MISSED, or not built) and the tally.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
commit=${1:-HEAD}
faults=${2:-$root/bench/planted_faults/faults.txt}
work=${PLANTED_WORK:-/tmp/velaset-planted}
jobs=${JOBS:-2}

mkdir -p "$work"
rm -rf "$work/src" "$work/clean" && mkdir -p "$work/src" "$work/clean"
git -C "$root" archive "$commit" | tar -x -C "$work/clean" || exit 1
cp -a "$work/clean/." "$work/src/"
# The Windows programs and the example's payload of the real tree, which the native
# cases that build packages take (no fault is planted in them).
mkdir -p "$work/src/build/bin"
for part in bin/win32 bin/win64 demo; do
  [ -d "$root/build/$part" ] || { echo "planted: build/$part is missing: run make build first" >&2; exit 1; }
  rm -rf "$work/src/build/$part" && mkdir -p "$work/src/build/$part" && cp -a "$root/build/$part/." "$work/src/build/$part/"
done
cmake -S "$work/src" -B "$work/src/build/native" -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
cmake --build "$work/src/build/native" -j"$jobs" >/dev/null || { echo "planted: the clean tree does not build" >&2; exit 1; }
# The native tier, as tests/tiers.sh runs it.
run_tests() {
  ctest --test-dir "$work/src/build/native" -j"$jobs" -LE 'wine32|wine64' --timeout 300 \
    >"$work/ctest.log" 2>&1
}
run_tests || { echo "planted: the clean tree fails its tests ($work/ctest.log)" >&2; exit 1; }

caught=0 missed=0 broken=0
while IFS= read -r line <&3; do
  [[ -z "$line" || "$line" == \#* ]] && continue
  name=$(awk -F' \\| ' '{print $1}' <<<"$line")
  file=$(awk -F' \\| ' '{print $2}' <<<"$line")
  python3 - "$work/src/$file" "$line" <<'PY' || { echo "NOT APPLIED $name"; broken=$((broken + 1)); continue; }
import sys
path, line = sys.argv[1], sys.argv[2]
fields = line.split(" | ")
old, new = fields[2].strip(), " | ".join(fields[3:]).strip()
text = open(path, encoding="utf-8").read()
if text.count(old) != 1:
    sys.exit("planted: '%s' occurs %d times in %s" % (old, text.count(old), path))
open(path, "w", encoding="utf-8").write(text.replace(old, new))
PY
  if ! cmake --build "$work/src/build/native" -j"$jobs" >"$work/build.log" 2>&1; then
    echo "NOT BUILT   $name"
    broken=$((broken + 1))
  elif run_tests; then
    echo "MISSED      $name"
    missed=$((missed + 1))
  else
    echo "caught      $name ($(grep -cE '\*\*\*Failed|Failed  ' "$work/ctest.log") failing)"
    caught=$((caught + 1))
  fi
  cp "$work/clean/$file" "$work/src/$file"
done 3<"$faults"
cmake --build "$work/src/build/native" -j"$jobs" >/dev/null
echo "planted faults: $caught caught, $missed missed, $broken not applied or not built"
