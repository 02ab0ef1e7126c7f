#!/usr/bin/env bash
# Builds the 32-bit programs and packs the release: build/release/Veltrane-<version>.zip
# with Veltrane.exe, Tessilo.exe, README.txt (a guide for Windows users) and
# SHA256SUMS.txt; prints the archive's own SHA-256 and keeps it beside it.
# The same commit gives the same archive, byte for byte, on the same Debian
# release: entries carry the last commit's time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export SOURCE_DATE_EPOCH
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target release >/dev/null
zip=$(sed -n 's/^MACTOOLS_RELEASE_ZIP:INTERNAL=//p' build/mingw/CMakeCache.txt)
mkdir -p build/release
cp "$zip" "$zip.sha256" build/release/
cat "$zip.sha256"
echo "release: build/release/$(basename "$zip")"
