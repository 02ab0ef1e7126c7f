# A clipboard held by another program: briefly, no harm; for long, the error
# report and a non-zero exit.
source "$(dirname "$0")/lib.sh"

# Held for a moment only: the conversion waits for it and succeeds.
wintool clip-hold 400 >"$unix_temp/hold.log" &
pids+=($!)
for _ in $(seq 50); do grep -q held "$unix_temp/hold.log" 2>/dev/null && break; sleep 0.1; done
expect_eq "$(run_program "$VELTRANE" 00:11 | tr -d '\r' | grep '^exit=')" "exit=0" "exit code after a short hold"
expect_eq "$(clipboard)" "00-11" "clipboard after a short hold"

wintool clip-hold 6000 >"$unix_temp/hold.log" &
pids+=($!)
for _ in $(seq 50); do grep -q held "$unix_temp/hold.log" 2>/dev/null && break; sleep 0.1; done
run_program "$VELTRANE" 00:11 >"$unix_temp/code.log" 2>&1 &
runner=$!
report=$(wintool dialog-text | tr -d '\r') || fail "no error report"
grep -qx "title=Veltrane" <<<"$report" || fail "report title: $report"
grep -q "Run-time error '521':" <<<"$report" || fail "report text: $report"
grep -q "Can't open clipboard" <<<"$report" || fail "report text: $report"
import -window root "$unix_temp/report.png" 2>/dev/null || true
xdotool key --clearmodifiers Return
wait "$runner" || true
expect_eq "$(tr -d '\r' <"$unix_temp/code.log")" "exit=521" "exit code"
pass
