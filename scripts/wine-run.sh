#!/usr/bin/env bash
# Runs a Windows program under the Wine of one architecture in the
# project's prefix for it and passes its exit code on:
#   wine-run.sh 32|64 PROGRAM ARGS...
# CMake uses it as the cross-compiling emulator.
export MACTOOLS_WINE_ARCH=$1
shift
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
exec "$WINELOADER" "$@"
