#!/usr/bin/env bash
# A longer fuzzing run of every target, each for SECONDS (default 300):
#   bash tests/fuzz/run.sh [SECONDS]
# The targets run directly, so the short runs of the test command keep
# their own time.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-300}
bash scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
for target in conversion lookup line_reader; do
  corpus=build/fuzz/tests/fuzz/corpus/$target
  mkdir -p "$corpus"
  echo "== fuzz_$target for $seconds s"
  "build/fuzz/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=40000 \
    "$corpus" "tests/fuzz/seeds/$target"
done
