#!/usr/bin/env bash
# Checks that the files of one source folder include each other without a loop. A header
# and the source files named after it (foo.h, foo.cpp) count as one unit, so a loop that
# runs through a header's implementation is found too. Prints the units of each loop and
# exits 1; exits 0 when there is none.
#   scripts/include_loops.sh compress
set -euo pipefail
path=${1:?usage: include_loops.sh FOLDER}
cd "$(dirname "$path")"
folder=$(basename "$path")

unit() {
  local name=${1##*/}
  echo "${name%.*}"
}

pairs=$(
  for file in "$folder"/*.h "$folder"/*.cpp; do
    [ -e "$file" ] || continue
    from=$(unit "$file")
    echo "$from $from" # a unit without includes still counts
    sed -n "s|^#include \"$folder/\([^\"]*\)\".*|\1|p" "$file" | while read -r included; do
      to=$(unit "$included")
      [ "$to" = "$from" ] || echo "$from $to"
    done
  done
)
if ! loops=$(printf '%s\n' "$pairs" | tsort 2>&1 >/dev/null); then
  echo "$folder: includes run in a loop:"
  echo "$loops"
  exit 1
fi
echo "$folder: no include loop among $(printf '%s\n' "$pairs" | awk '{print $1}' | sort -u | wc -l) units"
