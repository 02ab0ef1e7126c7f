# A clipboard held by another program: briefly, no harm; for long, the error
# report and a non-zero exit.
source "$(dirname "$0")/lib.sh"

# Held for a moment only: the conversion waits for it and succeeds.
hold_clipboard 400
run_program "$VELTRANE" 00:11
expect_eq "$exit_code" 0 "exit code after a short hold"
expect_eq "$(clipboard)" "00-11" "clipboard after a short hold"

hold_clipboard 6000
expect_report "Can't open clipboard" "$VELTRANE" 00:11
grep -q "Run-time error '521':" <<<"$report" || fail "report text: $report"
expect_eq "$exit_code" 521 "exit code"
pass
