#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine, as root.
# Installs only what is missing, so a second run is quick.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

pkgs=(cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev
      g++-mingw-w64-i686 wine wine32:i386 xvfb xdotool x11-utils
      xauth xclip imagemagick clang)
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

# The posix thread model of mingw-w64 lets std::thread and friends link;
# the win32 one is enough for us and links smaller, so use it when offered.
for tool in i686-w64-mingw32-g++ i686-w64-mingw32-gcc; do
  if update-alternatives --list "$tool" >/dev/null 2>&1; then
    alt=$(update-alternatives --list "$tool" | grep -- '-win32$' || true)
    [ -n "$alt" ] && update-alternatives --set "$tool" "$alt" >/dev/null
  fi
done
exit 0
