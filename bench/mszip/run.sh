#!/usr/bin/env bash
# Builds the benchmark corpus (a tar of the system C headers and a tar of large
# installed programs and libraries, together more than 32 MiB) and runs mszip_bench
# on it beside libdeflate-gzip -6 and -9.
#   bench/mszip/run.sh [--repeat N]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bench=$root/build/native/bench/mszip/mszip_bench
corpus=$root/build/bench/mszip
mkdir -p "$corpus"

# Text: headers in name order up to 20 MiB.
if [ ! -s "$corpus/headers.tar" ]; then
  (cd / && find usr/include -type f -printf '%s %p\n' | LC_ALL=C sort -k2 |
    awk '{ if (t <= 20 * 1048576) print $2; t += $1 }') >"$corpus/headers.list"
  tar -cf "$corpus/headers.tar" -C / -T "$corpus/headers.list"
fi
# Binaries: programs and shared libraries of 2 to 12 MiB in name order, up to 10 MiB
# of each kind.
if [ ! -s "$corpus/binaries.tar" ]; then
  for dir in usr/bin usr/lib/x86_64-linux-gnu; do
    (cd / && find "$dir" -maxdepth 1 -type f -size +2M -size -12M -printf '%s %p\n' |
      LC_ALL=C sort -k2 | awk '{ if (t <= 10 * 1048576) print $2; t += $1 }')
  done >"$corpus/binaries.list"
  tar -cf "$corpus/binaries.tar" -C / -T "$corpus/binaries.list"
fi

if [ ! -x "$bench" ]; then
  cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$root/build/native" -j2 --target mszip_bench >/dev/null
fi
echo "corpus: headers.tar $(stat -c %s "$corpus/headers.tar") bytes," \
  "binaries.tar $(stat -c %s "$corpus/binaries.tar") bytes ($(wc -l <"$corpus/binaries.list") files)"
exec "$bench" "$@" "$corpus/headers.tar" "$corpus/binaries.tar"
