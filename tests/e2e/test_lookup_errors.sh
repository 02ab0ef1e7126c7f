# A lookup that cannot go on ends with a report that says why.
source "$(dirname "$0")/lib.sh"

mkdir -p "$unix_c/temp"
run_program "$TESSILO" '/dhcp<c:\temp\list.txt' >"$unix_temp/code.log" 2>&1 &
runner=$!
report=$(wintool dialog-text | tr -d '\r') || fail "no error report"
grep -qx "title=Tessilo" <<<"$report" || fail "report title: $report"
grep -q "/dhcp<listfile searchtext" <<<"$report" || fail "report text: $report"
xdotool key --clearmodifiers Return
wait "$runner" || true
expect_eq "$(tr -d '\r' <"$unix_temp/code.log")" "exit=9" "exit code"

printf 'c:\\temp\\no-such-listing.txt\r\n' >"$unix_c/temp/missing-list.txt"
run_program "$TESSILO" '/dhcp<c:\temp\missing-list.txt' x >"$unix_temp/code.log" 2>&1 &
runner=$!
report=$(wintool dialog-text | tr -d '\r') || fail "no error report"
grep -qi 'no-such-listing.txt' <<<"$report" || fail "report does not name the file: $report"
xdotool key --clearmodifiers Return
wait "$runner" || true
expect_eq "$(tr -d '\r' <"$unix_temp/code.log")" "exit=53" "exit code"
pass
