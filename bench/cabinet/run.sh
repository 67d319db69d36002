#!/usr/bin/env bash
# Runs the cabinet benchmark on 50 MB and 500 MB of this machine's installed files (headers,
# programs, libraries, /usr/share in turn): time, size and peak memory of Comprimi on one
# thread and on all processors, beside libdeflate-gzip -9 on the same files. Cabinets and
# spill files go to build/bench/cabinet/out and are removed after each size.
#   bench/cabinet/run.sh [--one-file] [MEGABYTES...]
# With --one-file the files of each size are joined into one file first (one folder,
# compressed in pieces on all processors).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bench=$root/build/native/bench/cabinet/cabinet_bench
if [ ! -x "$bench" ]; then
  cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$root/build/native" -j2 --target cabinet_bench >/dev/null
fi
options=()
if [ "${1:-}" = --one-file ]; then
  options+=(--one-file)
  shift
fi
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(50 500)
mkdir -p "$root/build/bench/cabinet"
exec "$bench" "${options[@]}" "$root/build/bench/cabinet" "${sizes[@]}"
