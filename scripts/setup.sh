#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine, as root.
# Installs only what is missing, so a second run is quick.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

pkgs=(cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev
      g++-mingw-w64-i686 wine wine32:i386 xvfb xdotool x11-utils
      xauth xclip imagemagick clang libclang-rt-14-dev icoutils fonts-wine)
for p in "${pkgs[@]}"; do have_pkg "$p" || need+=("$p"); done

if ((${#need[@]})); then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages: ${need[*]}; run this as root" >&2
    exit 1
  fi
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

exit 0
