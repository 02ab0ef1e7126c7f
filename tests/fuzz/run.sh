#!/usr/bin/env bash
# A longer fuzzing run of every target: bash tests/fuzz/run.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/../.."
bash scripts/setup.sh
cmake --preset fuzz -DMACTOOLS_FUZZ_SECONDS="${1:-300}" >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz
