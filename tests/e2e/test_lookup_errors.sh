# A lookup that cannot go on ends with a report that says why.
source "$(dirname "$0")/lib.sh"

mkdir -p "$unix_c/temp"
expect_report "/dhcp<listfile searchtext" "$TESSILO" '/dhcp<c:\temp\list.txt'
expect_eq "$exit_code" 9 "exit code without a search text"

printf 'c:\\temp\\no-such-listing.txt\r\n' >"$unix_c/temp/missing-list.txt"
expect_report 'no-such-listing.txt' "$TESSILO" '/dhcp<c:\temp\missing-list.txt' x
expect_eq "$exit_code" 53 "exit code for a missing listing"
pass
