#!/usr/bin/env bash
# Installs the system packages that Velaset needs.
#   scripts/setup.sh           everything: building, testing, benchmarks (make test)
#   scripts/setup.sh --build   only what building the programs needs (make demo)
# Idempotent: when everything is there it only checks and returns.
set -euo pipefail

# Building: the native and both Windows compilers; GoogleTest because every tree
# configures its tests (natively the library, for Windows its source package); OpenSSL's
# libcrypto for the SHA-256 of the native velaset.
packages=(
  cmake make g++ pkg-config
  g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libgtest-dev libgmock-dev googletest
  libssl-dev
)
# Testing: the oracles, Wine with its 32-bit part and a display, the benchmark peers,
# signing, the sanitizer and fuzzing compiler.
if [ "${1:-}" != --build ]; then
  packages+=(
    libdeflate-dev libdeflate-tools cabextract
    p7zip-full gcab libmspack-dev
    wine wine32:i386 wine64 xvfb xdotool x11-utils imagemagick
    nsis time
    osslsigncode openssl
    clang-14 libclang-rt-14-dev llvm-14
  )
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all system packages are installed"
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
if [[ " ${missing[*]} " == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture (for the 32-bit part of Wine)"
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
"${sudo_cmd[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
echo "setup: done"
