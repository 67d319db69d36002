#!/usr/bin/env bash
# Makes the wizard's program file: the linked builder image, padded with zero bytes to
# OFFSET, then the stub image. The build fails when the image has outgrown OFFSET.
#   append_stub.sh VELASET_EXE OFFSET AVVIORA_EXE
set -euo pipefail
exe=$1 offset=$2 stub=$3
size=$(stat -c %s "$exe")
if [ "$size" -gt "$offset" ]; then
  echo "append_stub: the builder image is $size bytes, more than the $offset bytes" \
       "reserved before the stub image; make it smaller" >&2
  rm -f "$exe"
  exit 1
fi
echo "append_stub: builder image $size bytes, $((offset - size)) bytes of padding"
truncate -s "$offset" "$exe"
cat "$stub" >> "$exe"
