# An address without separators: empty output, empty clipboard text, no script.
source "$(dirname "$0")/lib.sh"

printf 'set mac=\r\nset mac=old\r\n' >"$unix_temp/wmac.cmd"
wintool clip-set "something before"
WINEDEBUG=-all,+process run_program "$VELTRANE" 001122334455 2>"$unix_temp/trace.log"
expect_eq "$exit_code" 0 "exit code"
clip=$(clipboard) || fail "the clipboard holds no text"
expect_eq "$clip" "" "clipboard"
expect_eq "$(cat "$unix_temp/wmac.cmd")" $'set mac=\r\nset mac=old\r' "script untouched"
grep -q 'wmac.cmd' "$unix_temp/trace.log" && fail "a script was started"
pass
