# An address on the command line: converted, exported, script started, exit 0.
source "$(dirname "$0")/lib.sh"

WINEDEBUG=-all,+process run_program "$VELTRANE" 00:11:22:33:44:55 2>"$unix_temp/trace.log"
expect_eq "$exit_code" 0 "exit code"
expect_eq "$(clipboard)" "00-11-22-33-44-55" "clipboard"
expect_eq "$(cat "$unix_temp/wmac.cmd")" $'set mac=\r\nset mac=00-11-22-33-44-55\r' "script"
expect_eq "$(stat -c %s "$unix_temp/wmac.cmd")" 37 "script size"
grep -q 'cmd.exe /s/c .*\\\\e2e\\\\test_oneshot\\\\wmac.cmd' "$unix_temp/trace.log" || fail "the script was not started"

# A temporary folder with blanks in its path: the script still starts.
mkdir -p "$unix_temp/with blanks"
WINEDEBUG=-all,+process run_program "TEMP=$win_temp\\with blanks" -- "$VELTRANE" aa-bb 2>"$unix_temp/trace2.log"
expect_eq "$exit_code" 0 "exit code with blanks"
expect_eq "$(cat "$unix_temp/with blanks/wmac.cmd")" $'set mac=\r\nset mac=aa:bb\r' "script with blanks"
grep -q 'starting L".*with blanks\\\\wmac.cmd" as batch' "$unix_temp/trace2.log" || fail "the script in a folder with blanks was not started"
pass
