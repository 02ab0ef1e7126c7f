# Tessilo's lookup on the sample listings: clipboard, log, datas.txt, exit code.
source "$(dirname "$0")/lib.sh"

copy_examples
rm -f "$unix_c/temp/findout.txt"
printf 'stale' >"$unix_c/temp/datas.txt"
printf 'set mac=\r\nset mac=kept\r\n' >"$unix_temp/wmac.cmd"

WINEDEBUG=-all,+process run_program "$TESSILO" '/dhcp<c:\temp\list.txt' 00-1a 2>"$unix_temp/trace.log"
expect_eq "$exit_code" 0 "exit code"
expect_eq "$(clipboard)" $'Hostname build-agent\r\nMacaddress:00:1a:2b:90:ff:01\r\nIPaddress:10.20.1.40\r\nMask:255.255.0.0\r\nLease:20.11.2027 11:45:59' "clipboard"
[ -f "$unix_c/temp/datas.txt" ] && [ ! -s "$unix_c/temp/datas.txt" ] || fail "datas.txt is not empty"
expect_eq "$(cat "$unix_temp/wmac.cmd")" $'set mac=\r\nset mac=kept\r' "script untouched"
grep -q 'wmac.cmd' "$unix_temp/trace.log" && fail "a script was started"

# Three records of six lines; only the date and time are the user's format.
log="$unix_c/temp/findout.txt"
expect_eq "$(wc -l <"$log")" 18 "log lines"
records=$(log_records)
expect_eq "$(grep -c -E '^[^ |]+\|[^|]+\|' <<<"$records")" 3 "records with a date and a time: $records"
expect_eq "$(cut -d'|' -f3- <<<"$records")" \
" pc01|00:1a:2b:3c:4d:5e|192.168.0.10|255.255.255.0|18.11.2027 09:00:00
 lab-pc7|00:1a:2b:77:01:9c|192.168.0.12|255.255.255.0|19.11.2027 14:03:11
 build-agent|00:1a:2b:90:ff:01|10.20.1.40|255.255.0.0|20.11.2027 11:45:59" "log records"

# A second run appends.
run_program "$TESSILO" '/dhcp<c:\temp\list.txt' 00-1a
expect_eq "$(wc -l <"$log")" 36 "log lines after a second run"
pass
