# A lookup that reports 20,000 leases keeps its window alive: it answers
# the system throughout, shows how far it is, and the close box stops it
# after a whole record, with exit code 1223 and its last report left on
# the clipboard.
source "$(dirname "$0")/lib.sh"

mkdir -p "$unix_c/temp"
rm -f "$unix_c/temp/findout.txt"
source "$MACTOOLS_SCRIPTS/listings.sh"
matching_listing 20000 >"$unix_c/temp/long.txt"
printf 'c:\\temp\\long.txt\r\n' >"$unix_c/temp/long-list.txt"
printf 'stale' >"$unix_c/temp/datas.txt"

now_ms() { local t=${EPOCHREALTIME/[.,]/}; echo $((t / 1000)); }
start_program "$TESSILO" '/dhcp<c:\temp\long-list.txt' 00-1a
started=$(now_ms)
wintool ask-window 1500 >"$unix_temp/asks.log" 2>/dev/null &
asker=$!
pids+=("$asker")

# The output field shows the count of leases found, and it grows.
status() { form_fact control101.text; }
shows_progress() { [[ "$(status)" == "Listing 1 of 1: "*" found" ]]; }
poll 5 shows_progress || fail "no progress in the window within 5 s: [$(status)]"
first=$(status)
poll 5 not prints "$first" status || fail "the progress did not change from [$first]"

wait "$asker" || true
asks=$(tr -d '\r' <"$unix_temp/asks.log")
[[ "$asks" =~ ^asked=([0-9]+)\ late=0\  ]] && [ "${BASH_REMATCH[1]}" -ge 4 ] ||
  fail "the window did not answer every ask within 1 s: $asks"

# The close box; the program ends within 2 s.
kill -0 "$program_pid" 2>/dev/null || fail "the lookup ended before the close box"
closed=$(now_ms)
wintool close-box
poll 2 gone "$program_pid" || fail "no end within 2 s of the close box; on screen: $(on_screen)"
ended=$(now_ms)
[ $((ended - closed)) -le 2000 ] || fail "the end came $((ended - closed)) ms after the close box"
wait "$program_pid" || true
expect_eq "$(exit_of "$unix_temp/exit-code.log")" 1223 "exit code of a stopped lookup"

# Whole records only, fewer than all, and the last of them on the clipboard.
records=$(log_records)
grep -q '^broken: ' <<<"$records" && fail "a broken record: $(grep -m1 '^broken: ' <<<"$records")"
count=$(wc -l <<<"$records")
[ "$count" -gt 0 ] && [ "$count" -lt 20000 ] || fail "records after the stop: $count"
IFS='|' read -r _ _ host mac ip mask lease <<<"$(tail -n1 <<<"$records")"
expect_eq "$(clipboard)" "Hostname$host"$'\r\n'"Macaddress:$mac"$'\r\n'"IPaddress:$ip"$'\r\n'"Mask:$mask"$'\r\n'"Lease:$lease" \
  "clipboard after the stop"
[ ! -s "$unix_c/temp/datas.txt" ] || fail "datas.txt is not empty"
echo "stopped after $count records, closed $((closed - started)) ms in, ended $((ended - closed)) ms later; $asks"
pass
