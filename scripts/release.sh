#!/usr/bin/env bash
# Builds the 32-bit programs and packs the release: build/release/Veltrane-1.00.zip
# with Veltrane.exe, Tessilo.exe, README.txt (a guide for Windows users) and
# SHA256SUMS.txt; prints the archive's own SHA-256 and keeps it beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target Veltrane Tessilo >/dev/null
mkdir -p build/release
cpack --config build/mingw/CPackConfig.cmake -B build/release >/dev/null
rm -rf build/release/_CPack_Packages
for zip in build/release/*.zip; do
  (cd build/release && sha256sum "$(basename "$zip")" | tee "$(basename "$zip").sha256")
  echo "release: $zip"
done
