# Sourced by the Wine helpers: the per-run prefix under build/ of one Windows tier.
#   VELASET_WINE_ARCH=win32 (default): 32-bit prefix build/wineprefix, the 32-bit loader;
#   VELASET_WINE_ARCH=win64: 64-bit prefix build/wineprefix64, the 64-bit loader, which
#   runs on every x86-64 host (also where 32-bit programs cannot run).
# VELASET_WINE is the loader to start programs with ("$VELASET_WINE" PROGRAM ARGS...).
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export VELASET_WINE_ARCH="${VELASET_WINE_ARCH:-win32}"
case "$VELASET_WINE_ARCH" in
  win64)
    export WINEPREFIX="${VELASET_WINEPREFIX64:-$root/build/wineprefix64}"
    export WINEARCH=win64
    # Debian's wine64 package keeps its loader here; elsewhere it is on the PATH.
    if [ -x /usr/lib/wine/wine64 ]; then
      export VELASET_WINE=/usr/lib/wine/wine64
    else
      export VELASET_WINE="$(command -v wine64 || echo wine64)"
    fi
    export WINELOADER="$VELASET_WINE"
    ;;
  win32)
    export WINEPREFIX="${VELASET_WINEPREFIX:-$root/build/wineprefix}"
    export WINEARCH=win32
    export VELASET_WINE=wine
    ;;
  *)
    echo "wine: unknown VELASET_WINE_ARCH '$VELASET_WINE_ARCH' (win32 or win64)" >&2
    return 1
    ;;
esac
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer prompt may block an unattended run.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
