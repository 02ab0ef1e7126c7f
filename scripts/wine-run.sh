#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's 32-bit prefix and
# passes its exit code on. Used by CMake as the cross-compiling emulator.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
exec wine "$@"
