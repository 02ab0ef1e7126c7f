#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test: the unit tests on
# the host (plain and with sanitizers), short fuzzing runs, then the Windows
# builds under Wine. Which Windows build gets the end-to-end tests follows
# the kernel (scripts/platform.sh):
#   32-bit path: 32-bit build, unit and end-to-end tests under 32-bit Wine;
#                64-bit build, unit tests under 64-bit Wine.
#   64-bit path: 32-bit build, its checks that need no Wine;
#                64-bit build, unit and end-to-end tests under 64-bit Wine.
# Ends with one line "N passed, N failed" over all of them.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh || exit 1
source scripts/platform.sh
source scripts/virtual-display.sh || exit 1
passed=0 failed=0 skipped=0
results=$(mktemp -d)
trap 'stop_virtual_display; rm -rf "$results"' EXIT
run_preset() {  # CONFIGURE_PRESET TEST_PRESET
  local log="$results/$2.log" junit="$results/$2.xml" status=0
  echo "== $2"
  if ! { cmake --preset "$1" >/dev/null && cmake --build --preset "$1"; } >"$log" 2>&1; then
    cat "$log"
    echo "build of preset $1 failed"
    failed=$((failed + 1))
    return
  fi
  ctest --preset "$2" --output-junit "$junit" || status=$?
  # Counts from ctest's report; pass or fail from its exit status.
  local total=0 bad=0 skip=0
  if [ -f "$junit" ]; then
    local suite; suite=$(tr '\n\t' '  ' <"$junit" | grep -o '<testsuite [^>]*>' | head -n1)
    total=$(sed -nE 's/.* tests="([0-9]+)".*/\1/p' <<<"$suite")
    bad=$(sed -nE 's/.* failures="([0-9]+)".*/\1/p' <<<"$suite")
    skip=$(sed -nE 's/.* skipped="([0-9]+)".*/\1/p' <<<"$suite")
  fi
  if [ "$status" -ne 0 ] && [ "${bad:-0}" -eq 0 ]; then bad=1; fi
  if [ "${bad:-0}" -gt "${total:-0}" ]; then total=$bad; fi
  # A test that could not run here (a tmpfs that cannot be mounted) is
  # skipped, neither passed nor failed.
  passed=$((passed + ${total:-0} - ${bad:-0} - ${skip:-0}))
  failed=$((failed + ${bad:-0}))
  skipped=$((skipped + ${skip:-0}))
}

run_preset native native
run_preset sanitize sanitize
run_preset fuzz fuzz
if [ "$MACTOOLS_ARCH" = 32 ]; then
  run_preset mingw mingw
  run_preset mingw64 mingw64-unit
else
  run_preset mingw mingw-nowine
  run_preset mingw64 mingw64
fi

echo "platform: $MACTOOLS_ARCH_REASON"
if [ "$skipped" -gt 0 ]; then echo "$passed passed, $failed failed, $skipped skipped"; else echo "$passed passed, $failed failed"; fi
[ "$failed" -eq 0 ]
