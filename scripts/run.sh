#!/usr/bin/env bash
# Sets up what is missing, builds the programs and runs one under Wine:
#   scripts/run.sh [veltrane|tessilo] [command line...]
# Where the kernel runs 32-bit programs this is the 32-bit build under
# 32-bit Wine; elsewhere (or with MACTOOLS_FORCE_WIN64=1) the 64-bit build
# under 64-bit Wine. Without a display it runs on a virtual one and then
# prints what the run left: the clipboard, the script wmac.cmd and, for a
# lookup, the log.
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-veltrane}
shift || true
case "$program" in
  veltrane) exe=Veltrane ;;
  tessilo) exe=Tessilo ;;
  *) echo "usage: scripts/run.sh [veltrane|tessilo] [command line...]" >&2; exit 64 ;;
esac

bash scripts/setup.sh
source scripts/platform.sh
preset=mingw
[ "$MACTOOLS_ARCH" = 64 ] && preset=mingw64
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target Veltrane Tessilo wintool >/dev/null

virtual=no
[ -z "${DISPLAY:-}" ] && virtual=yes
source scripts/virtual-display.sh
trap stop_virtual_display EXIT
source scripts/wine-env.sh

c_drive="$WINEPREFIX/drive_c"
if [ "$program" = tessilo ]; then
  # The sample lease listings, where the sample list file names them.
  mkdir -p "$c_drive/temp"
  cp examples/list.txt examples/leases-*.txt "$c_drive/temp/"
fi
if [ "$virtual" = yes ] && [ $# -eq 0 ]; then
  # No one can type into a virtual display: show a conversion instead.
  if [ "$program" = tessilo ]; then set -- '/dhcp<c:\temp\list.txt' 00-1a; else set -- 00:11:22:33:44:55; fi
fi

wintool=build/$preset/tests/e2e/wintool.exe
echo "running the $MACTOOLS_ARCH-bit $exe.exe $*"
out=$(wine "$wintool" run -- "build/$preset/apps/$exe.exe" "$@") || true
code=$(tr -d '\r' <<<"$out" | sed -n 's/^exit=//p')
echo "exit code: $code"

if [ "$virtual" = yes ]; then
  echo "--- clipboard"
  wine "$wintool" clip-get || echo "(no text)"
  echo
  temp_dir=$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
  script=$(winepath -u "$temp_dir\\wmac.cmd" 2>/dev/null)
  echo "--- $temp_dir\\wmac.cmd"
  if [ -f "$script" ]; then cat "$script"; else echo "(none)"; fi
  if [ "$program" = tessilo ]; then
    echo "--- c:\\temp\\findout.txt"
    cat "$c_drive/temp/findout.txt" 2>/dev/null || echo "(none)"
  fi
fi
exit "${code:-1}"
