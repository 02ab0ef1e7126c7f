# Sourced: the Wine prefix, display and quiet settings for this project.
: "${WINEPREFIX:=${XDG_CACHE_HOME:-$HOME/.cache}/mactools/wine32}"
export WINEPREFIX WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialogs.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
