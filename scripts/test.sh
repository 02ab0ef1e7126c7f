#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test: the unit tests on
# the host (plain and with sanitizers), short fuzzing runs, the same unit
# tests as 32-bit Windows code under Wine, then the end-to-end tests of the
# real programs. Ends with one line
# "N passed, N failed" over all of them.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh || exit 1
source scripts/virtual-display.sh
source scripts/wine-env.sh

passed=0 failed=0
run_preset() {
  local preset=$1 log
  log=$(mktemp)
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset"; } >"$log" 2>&1; then
    cat "$log"
    echo "build of preset $preset failed"
    failed=$((failed + 1))
    return
  fi
  ctest --preset "$preset" 2>&1 | tee "$log"
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n1)
  if [ -z "$line" ]; then
    failed=$((failed + 1))
    return
  fi
  local bad total
  bad=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* tests failed out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

for preset in native sanitize fuzz mingw; do
  echo "== $preset"
  run_preset "$preset"
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
