# Sourced: Wine for one architecture, in its own prefix, with the display
# and quiet settings of this project. MACTOOLS_WINE_ARCH (32 or 64) picks
# the Wine; it defaults to the path this machine takes (platform.sh).
# wine, wineserver, winepath and wineboot then call that Wine's loader and
# server, whatever Debian's wrappers would pick.
source "$(dirname "${BASH_SOURCE[0]}")/platform.sh"
: "${MACTOOLS_WINE_ARCH:=$MACTOOLS_ARCH}"
export MACTOOLS_WINE_ARCH
if [ "$MACTOOLS_WINE_ARCH" = 64 ]; then
  export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64 WINEARCH=win64
else
  export WINELOADER=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver WINEARCH=win32
fi
# The tests' presets set MACTOOLS_PREFIXES to a folder of the build tree:
# a test run then neither ends nor inherits Wine processes of the user's own
# runs, nor of another checkout's tests.
export WINEPREFIX="${MACTOOLS_PREFIXES:-${XDG_CACHE_HOME:-$HOME/.cache}/mactools}/wine$MACTOOLS_WINE_ARCH"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialogs.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

wine() { "$WINELOADER" "$@"; }
wineserver() { "$WINESERVER" "$@"; }
winepath() { "$WINELOADER" winepath.exe "$@"; }
export -f wine wineserver winepath

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wine wineboot.exe -i >/dev/null 2>&1 || true
  wineserver -w
fi
# Wine draws the title-bar buttons with its Marlett font; this Wine build
# does not find it where the package puts it, so the prefix gets a copy.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$fonts/marlett.ttf" ]; then
  mkdir -p "$fonts" && cp /usr/share/wine/fonts/marlett.ttf "$fonts/" 2>/dev/null || true
fi
