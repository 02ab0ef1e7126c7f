# An idle window waits for events instead of spinning.
source "$(dirname "$0")/lib.sh"

start_program "$VELTRANE"
pid=$(pgrep -f "^$VELTRANE" | head -n1)
[ -n "$pid" ] || fail "no process"
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
before=$(ticks); sleep 3; after=$(ticks)
used=$((after - before))
echo "CPU ticks in 3 s idle: $used"
[ "$used" -le 15 ] || fail "idle window used $used ticks of 300"
click_close
wait_program
expect_eq "$exit_code" 0 "exit code"
pass
