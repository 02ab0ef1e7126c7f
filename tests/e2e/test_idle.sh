# An idle window waits for events instead of spinning.
source "$(dirname "$0")/lib.sh"

start_program "$VELTRANE"
# The process that owns the window (Wine sets _NET_WM_PID): a match by
# command line can also find a process that is only starting or ending.
pid=$(xdotool getwindowpid "$window_id" 2>/dev/null) || pid=
[ -n "$pid" ] && [ -r "/proc/$pid/stat" ] || fail "no process for the window"
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
before=$(ticks); sleep 3; after=$(ticks)
used=$((after - before))
echo "CPU ticks in 3 s idle: $used"
[ "$used" -le 15 ] || fail "idle window used $used ticks of 300"
click_close
wait_program
expect_eq "$exit_code" 0 "exit code"
pass
