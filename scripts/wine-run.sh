#!/usr/bin/env bash
# Runs a Windows program under the Wine of one architecture in the
# project's prefix for it and passes its exit code on:
#   wine-run.sh 32|64 PROGRAM ARGS...
# CMake uses it as the cross-compiling emulator, so that ctest runs test
# programs as Windows code. Without a display (ctest from a terminal with
# none, CI) it runs the program on a virtual one of its own, which it ends
# with the program.
export MACTOOLS_WINE_ARCH=$1
shift
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
[ -n "${DISPLAY:-}" ] && exec "$WINELOADER" "$@"
source "$(dirname "${BASH_SOURCE[0]}")/virtual-display.sh" || exit 1
status=0
"$WINELOADER" "$@" || status=$?
stop_virtual_display
exit "$status"
