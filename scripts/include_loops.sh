#!/usr/bin/env bash
# Checks that the files of each source folder include each other without a loop. A header
# and the source files named after it (foo.h, foo.cpp, and the platform folders'
# posix/foo.cpp, win32/foo.cpp) count as one unit, so a loop that runs through a
# header's implementation is found too. An include names a file of the folder by its
# path from the top of the tree ("platform/status.h") or, in the C programs, by its bare
# name ("text.h"). Prints the units of each loop and exits 1; exits 0 when no folder has
# one.
#   scripts/include_loops.sh ROOT FOLDER...     e.g. include_loops.sh . compress platform
set -euo pipefail
root=${1:?usage: include_loops.sh ROOT FOLDER...}
shift
cd "$root"

unit() {
  local name=${1##*/}
  echo "${name%.*}"
}

# "FROM TO" for every include between two units of the folder.
folder_pairs() {
  local folder=$1 file from included to
  for file in "$folder"/*.[ch] "$folder"/*.cpp "$folder"/*/*.[ch] "$folder"/*/*.cpp; do
    [ -e "$file" ] || continue
    from=$(unit "$file")
    echo "$from $from" # a unit without includes still counts
    sed -n 's|^#include "\([^"]*\)".*|\1|p' "$file" | while read -r included; do
      case $included in
        "$folder"/*) to=$(unit "$included") ;;
        */*) continue ;;
        *) to=$(unit "$included") ;;
      esac
      [ "$to" = "$from" ] || echo "$from $to"
    done
  done
}

status=0
for folder in "$@"; do
  pairs=$(folder_pairs "$folder")
  if ! loops=$(printf '%s\n' "$pairs" | tsort 2>&1 >/dev/null); then
    echo "$folder: includes run in a loop:"
    echo "$loops"
    status=1
  else
    echo "$folder: no include loop among $(printf '%s\n' "$pairs" | awk '{print $1}' | sort -u | wc -l) units"
  fi
done
exit $status
