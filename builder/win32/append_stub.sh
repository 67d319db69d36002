#!/usr/bin/env bash
# Makes the wizard's program file: the linked builder image, padded with zero bytes to
# OFFSET, then the 32-bit stub image, then the 64-bit one (builder/wizard/stub_images.h).
# The build fails when the image has outgrown OFFSET, naming the constant.
#   append_stub.sh VELASET_EXE OFFSET OFFSET_NAME AVVIORA_EXE AVVIORA64_EXE
set -euo pipefail
exe=$1 offset=$2 offset_name=$3 stub=$4 stub64=$5
size=$(stat -c %s "$exe")
if [ "$size" -gt "$offset" ]; then
  echo "append_stub: the builder image is $size bytes, more than the $offset bytes" \
       "reserved before the stub images ($offset_name in common/constants.h); make it smaller" >&2
  rm -f "$exe"
  exit 1
fi
for image in "$stub" "$stub64"; do
  [ -s "$image" ] || { echo "append_stub: $image is missing" >&2; rm -f "$exe"; exit 1; }
done
echo "append_stub: builder image $size bytes, $((offset - size)) bytes of padding"
truncate -s "$offset" "$exe"
cat "$stub" "$stub64" >> "$exe"
