# A full disk. A lookup whose log fills c:\temp part way ends with error 61
# and Windows' error 112; the log keeps what it held byte for byte, gets
# the line end it lacked, and holds whole records only; the clipboard holds
# the report whose record failed, alone. A one-shot conversion with its
# temporary folder on a full disk converts all the same and leaves no
# script. c:\temp is a small tmpfs mounted inside the Wine prefix.
source "$(dirname "$0")/lib.sh"
source "$MACTOOLS_SCRIPTS/listings.sh"

small="$unix_c/temp"
mkdir -p "$small"
if ! mount -t tmpfs -o size=16k tmpfs "$small" 2>"$unix_temp/mount.log"; then
  echo "skipped ($test_name): a tmpfs cannot be mounted here: $(cat "$unix_temp/mount.log")"
  exit 77
fi
trap 'cleanup; umount "$small" 2>/dev/null || umount -l "$small"' EXIT

all=60
matching_listing "$all" >"$unix_temp/sixty.txt"
printf '%s\\sixty.txt\r\n' "$win_temp" >"$unix_temp/list.txt"
earlier='an earlier line cut short'
printf '%s' "$earlier" >"$small/findout.txt"

expect_report "Disk full" "$TESSILO" "/dhcp<$win_temp\\list.txt" 00-1a
expect_eq "$exit_code" 61 "exit code when the disk fills"
grep -q '^Windows error 112 in WriteFile: .' <<<"$report" || fail "report without Windows' error 112: $report"

# What the log held, its line end, then whole records.
expect_eq "$(head -c $((${#earlier} + 2)) "$small/findout.txt" | od -An -c | tr -s ' ')" \
  "$(printf '%s\r\n' "$earlier" | od -An -c | tr -s ' ')" "the log's earlier content and its line end"
tail -c +$((${#earlier} + 3)) "$small/findout.txt" >"$unix_temp/records.txt"
records=$(wintool records "$win_temp\\records.txt" | tr -d '\r')
grep -q '^broken: ' <<<"$records" && fail "a broken record: $(grep -m1 '^broken: ' <<<"$records")"
count=$(grep -c . <<<"$records" || true)
[ "$count" -gt 0 ] && [ "$count" -lt "$all" ] || fail "records on a full disk: $count"
expect_eq "$(tail -n1 <<<"$records" | cut -d'|' -f3)" " host$count" "the last record"

# The report of the record that failed, alone.
i=$((count + 1))
expect_eq "$(clipboard)" "Hostname host$i"$'\r\n'"$(printf 'Macaddress:00:1a:00:%02x:%02x:%02x' $((i / 65536)) $((i / 256 % 256)) $((i % 256)))"$'\r\n'"IPaddress:10.$((i / 65536)).$((i / 256 % 256)).$((i % 256))"$'\r\n'"Mask:255.255.0.0"$'\r\n'"Lease:01.01.2027 10:00:00" \
  "clipboard after the failed record"
expect_eq "$(wintool clip-formats | tr -d '\r')" "" "other formats beside the report"

# The temporary folder full to the last byte: no script, not even an empty one.
cat /dev/zero >"$small/filler" 2>/dev/null || true
run_program 'TEMP=C:\temp' -- "$VELTRANE" 00:11:22:33:44:55
expect_eq "$exit_code" 0 "exit code of a conversion on a full disk"
expect_eq "$(clipboard)" "00-11-22-33-44-55" "clipboard of a conversion on a full disk"
[ ! -e "$small/wmac.cmd" ] || fail "a script of $(stat -c %s "$small/wmac.cmd") bytes on a full disk"
echo "full disk: $count whole records of $all"
pass
