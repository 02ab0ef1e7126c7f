# A listing that never delivers data (a pipe that another program holds
# open without writing, as a share that stalls) freezes nothing: while the
# read waits the window answers at once and names what it waits for; the
# close box ends the lookup within 1 s with exit code 1223 and the first
# listing's records whole; when the holder closes the pipe without
# writing, the lookup ends normally.
source "$(dirname "$0")/lib.sh"
source "$MACTOOLS_SCRIPTS/listings.sh"

mkdir -p "$unix_c/temp"
matching_listing 50 >"$unix_c/temp/first.txt"
now_ms() { local t=${EPOCHREALTIME/[.,]/}; echo $((t / 1000)); }
status() { form_fact control101.text; }
# Records whole, COUNT of them, the last one's report on the clipboard.
check_records() {  # WHAT COUNT
  local records; records=$(log_records)
  grep -q '^broken: ' <<<"$records" && fail "$1: a broken record: $(grep -m1 '^broken: ' <<<"$records")"
  expect_eq "$(grep -c . <<<"$records" || true)" "$2" "$1: records"
  IFS='|' read -r _ _ host mac ip mask lease <<<"$(tail -n1 <<<"$records")"
  expect_soon "Hostname$host"$'\r\n'"Macaddress:$mac"$'\r\n'"IPaddress:$ip"$'\r\n'"Mask:$mask"$'\r\n'"Lease:$lease" \
    "$1: clipboard" clipboard
}
lookup_over_pipe() {  # PIPE HOLD_MS
  rm -f "$unix_c/temp/findout.txt"
  printf 'c:\\temp\\first.txt\r\n\\\\.\\pipe\\%s\r\n' "$1" >"$unix_c/temp/stall-list.txt"
  hold pipe-hold "$1" "$2"
  start_program "$TESSILO" '/dhcp<c:\temp\stall-list.txt' 00-1a
  poll 10 prints "Waiting for \\\\.\\pipe\\$1" status || fail "no word of the wait within 10 s: [$(status)]"
}

# Held: the window answers every ask at once, and the close box ends it.
lookup_over_pipe mactools-stall 60000
asks=$(wintool ask-window 1000 | tr -d '\r')
[[ "$asks" =~ ^asked=([0-9]+)\ late=0\ slowest=([0-9]+)$ ]] && [ "${BASH_REMATCH[1]}" -ge 3 ] &&
  [ "${BASH_REMATCH[2]}" -le 100 ] || fail "the waiting window did not answer within 100 ms: $asks"
closed=$(now_ms)
wintool close-box
poll 1 gone "$program_pid" || fail "no end within 1 s of the close box; on screen: $(on_screen)"
ended=$(now_ms)
wait "$program_pid" || true
expect_eq "$(exit_of "$unix_temp/exit-code.log")" 1223 "exit code of a lookup closed while it waited"
check_records "closed while waiting" 50
kill "$holder_pid" 2>/dev/null || true
echo "closed while waiting: $asks; ended $((ended - closed)) ms after the close box"

# Let go without a byte: the pipe's end is the listing's end.
lookup_over_pipe mactools-stall-ends 3000
poll 20 gone "$program_pid" || fail "the lookup did not end once the pipe was closed: [$(status)]"
wait "$program_pid" || true
expect_eq "$(exit_of "$unix_temp/exit-code.log")" 0 "exit code once the pipe was closed"
check_records "pipe closed" 50
pass
