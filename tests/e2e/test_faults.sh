# Faults around the programs: they end as they should, with a report where
# one is due, and never lose what earlier records wrote to the log.
source "$(dirname "$0")/lib.sh"

# A temporary folder that is missing, or is a file: converted and on the
# clipboard all the same, no script, exit code 0.
: >"$unix_temp/a-file"
for temp in 'C:\no\such\folder' "$win_temp\\a-file"; do
  run_program "TEMP=$temp" -- "$VELTRANE" 00:11:22
  expect_eq "$exit_code" 0 "exit code with TEMP=$temp"
  expect_eq "$(clipboard)" "00-11-22" "clipboard with TEMP=$temp"
done

copy_examples
lookup=("$TESSILO" '/dhcp<c:\temp\list.txt' 00-1a)
printf 'an earlier record\r\n' >"$unix_c/temp/findout.txt"

# The clipboard held by another program during a lookup.
hold_clipboard 8000
expect_report "Can't open clipboard" "${lookup[@]}"
expect_eq "$exit_code" 521 "exit code with the clipboard held"
expect_eq "$(cat "$unix_c/temp/findout.txt")" $'an earlier record\r' "log after the clipboard fault"
# The holder lets go only when its time is up; until then every lookup
# would end the same way.
wait "$holder_pid" || true

# datas.txt held open alone for a moment, as a second lookup emptying it
# at the same time holds it: the lookup waits for it and goes on.
hold_file 'c:\temp\datas.txt' 400
wintool run "TEMP=$win_temp" -- "${lookup[@]}" >"$unix_temp/held.log" 2>&1 &
runner=$!
poll 30 gone "$runner" ||
  fail "with datas.txt held for a moment, no end within 30 s; on screen: $(wintool dialog-text 2>/dev/null | tr -d '\r' | tr '\n' ' ')"
expect_eq "$(exit_of "$unix_temp/held.log")" 0 "exit code with datas.txt held for a moment"
wait "$holder_pid" || true
printf 'an earlier record\r\n' >"$unix_c/temp/findout.txt"

# findout.txt that cannot be written: another program holds it open alone
# (a read-only attribute does not stop root, which runs these tests).
hold_file 'c:\temp\findout.txt' 8000
expect_report 'findout.txt' "${lookup[@]}"
expect_eq "$exit_code" 75 "exit code with a log that cannot be written"
# The runtime's words first, then what Windows said: a sharing violation.
grep -qx "Run-time error '75':" <<<"$report" || fail "the report's first line: $report"
grep -qF 'Path/File access error: c:\temp\findout.txt' <<<"$report" || fail "report without the path: $report"
grep -q '^Windows error 32 in CreateFileW: .' <<<"$report" || fail "report without Windows' error 32 and its call: $report"
wait "$holder_pid" || true
expect_eq "$(cat "$unix_c/temp/findout.txt")" $'an earlier record\r' "log after the unwritable log"

# Rich content copied in another program, then a lookup whose second
# listing is missing: the clipboard holds the last report alone, no HTML
# beside it, before the report is shown.
rm -f "$unix_c/temp/findout.txt"
printf 'c:\\temp\\leases-1.txt\r\nc:\\temp\\no-such-listing.txt\r\n' >"$unix_c/temp/list-missing.txt"
wintool clip-set-rich "copied before"
expect_eq "$(wintool clip-formats | tr -d '\r')" "HTML Format" "the rich content copied"
expect_report 'no-such-listing.txt' "$TESSILO" '/dhcp<c:\temp\list-missing.txt' 00-1a
expect_eq "$exit_code" 53 "exit code with the second listing missing"
IFS='|' read -r _ _ host mac ip mask lease <<<"$(log_records | tail -n1)"
expect_eq "$(clipboard)" "Hostname$host"$'\r\n'"Macaddress:$mac"$'\r\n'"IPaddress:$ip"$'\r\n'"Mask:$mask"$'\r\n'"Lease:$lease" \
  "clipboard after the failed lookup"
expect_eq "$(wintool clip-formats | tr -d '\r')" "" "formats beside the report after the failed lookup"
printf 'an earlier record\r\n' >"$unix_c/temp/findout.txt"

# c:\temp missing.
mv "$unix_c/temp" "$unix_c/temp.away"
expect_report 'datas.txt' "${lookup[@]}"
mv "$unix_c/temp.away" "$unix_c/temp"
expect_eq "$exit_code" 76 "exit code without c:\\temp"

# A listing of 100 MB on one line: read through, nothing reported.
mkdir -p "$unix_c/big"
head -c 100000000 /dev/zero | tr '\0' 'x' >"$unix_c/big/one-line.txt"
printf 'c:\\big\\one-line.txt\r\n' >"$unix_c/big/list.txt"
run_program "$TESSILO" '/dhcp<c:\big\list.txt' 00-1a
expect_eq "$exit_code" 0 "exit code on a 100 MB line"
expect_eq "$(cat "$unix_c/temp/findout.txt")" $'an earlier record\r' "log after the 100 MB line"
rm -rf "$unix_c/big"
pass
