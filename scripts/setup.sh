#!/usr/bin/env bash
# Installs what building, running and testing need on a Debian machine, as
# root, and only what is missing, so a second run is quick. Wine's 32-bit
# half is installed only where the kernel can run it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/platform.sh
echo "platform: $MACTOOLS_ARCH_REASON"

have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

pkgs=(cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev
      g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64
      xvfb xdotool x11-utils xauth xclip imagemagick clang libclang-rt-dev zip
      icoutils fonts-wine osslsigncode openssl)
# Only on the 32-bit path: elsewhere they could not run.
if [ "$MACTOOLS_ARCH" = 32 ]; then pkgs+=(wine32:i386); fi

need=()
for p in "${pkgs[@]}"; do have_pkg "$p" || need+=("$p"); done
((${#need[@]})) || exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages: ${need[*]}; run this as root" >&2
  exit 1
fi
if [[ " ${need[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
