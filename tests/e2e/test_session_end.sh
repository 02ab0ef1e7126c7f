# The end of the Windows session during a long lookup. The question and an
# end called off stop nothing: the lookup runs to its end. An end that is
# certain, with the process ended right after the answer as Windows may,
# leaves whole records, an empty datas.txt and the last logged report
# alone on the clipboard, and the program ends itself with 1223 within
# 2 s, also while another program holds the log's turn or the clipboard.
source "$(dirname "$0")/lib.sh"
source "$MACTOOLS_SCRIPTS/listings.sh"

mkdir -p "$unix_c/temp"
# Long enough to be running still when the session's messages come, on a
# fast machine too (a few seconds under Wine).
all=40000
matching_listing "$all" >"$unix_c/temp/long.txt"
printf 'c:\\temp\\long.txt\r\n' >"$unix_c/temp/long-list.txt"

status() { form_fact control101.text; }
shows_progress() { [[ "$(status)" == "Listing 1 of 1: "*" found" ]]; }
start_lookup() {  # LISTFILE [keep-log]
  [ "${2:-}" = keep-log ] || rm -f "$unix_c/temp/findout.txt"
  printf 'stale' >"$unix_c/temp/datas.txt"
  start_program "$TESSILO" "/dhcp<c:\\temp\\$1" 00-1a
  poll 10 shows_progress || fail "no progress within 10 s: [$(status)]"
}
# Sends the session's messages; checks the answer and sets told_ms, ended.
end_session() {  # end|cancel
  local said; said=$(wintool end-session "$1" | tr -d '\r') || true
  [[ "$said" =~ ^answer=1\ told_ms=([0-9]+)\ exit=(.*)$ ]] ||
    fail "end-session $1: [$said]; the lookup $(gone "$program_pid" && echo "had ended, exit code $(exit_of "$unix_temp/exit-code.log")" || echo "still ran"), $(log_records | grep -c . || true) records"
  told_ms=${BASH_REMATCH[1]} ended=${BASH_REMATCH[2]}
}
# What the lookup left: whole records only, COUNT of them ("some": more
# than none, fewer than all); unless the clipboard is held, the last one's
# report on it alone, no other format beside it; an empty datas.txt.
check_left() {  # WHAT COUNT [clipboard-held]
  local records count
  records=$(log_records)
  grep -q '^broken: ' <<<"$records" && fail "$1: a broken record: $(grep -m1 '^broken: ' <<<"$records")"
  count=$(grep -c . <<<"$records" || true)
  if [ "$2" = some ]; then
    [ "$count" -gt 0 ] && [ "$count" -lt "$all" ] || fail "$1: $count records"
  else
    expect_eq "$count" "$2" "$1: records"
  fi
  [ ! -s "$unix_c/temp/datas.txt" ] || fail "$1: datas.txt is not empty"
  [ "${3:-}" = clipboard-held ] && return
  IFS='|' read -r _ _ host mac ip mask lease <<<"$(tail -n1 <<<"$records")"
  # Wine's clipboard manager serves what a program left once it has ended.
  expect_soon "Hostname$host"$'\r\n'"Macaddress:$mac"$'\r\n'"IPaddress:$ip"$'\r\n'"Mask:$mask"$'\r\n'"Lease:$lease" \
    "$1: clipboard" clipboard
  expect_eq "$(wintool clip-formats | tr -d '\r')" "" "$1: other formats beside the report"
}

# Asked, then called off: the lookup goes on to its end.
start_lookup long-list.txt
end_session cancel
expect_eq "$ended" none "the program after an end called off"
poll 120 gone "$program_pid" || fail "the lookup did not end within 120 s of an end called off"
wait "$program_pid" || true
expect_eq "$(exit_of "$unix_temp/exit-code.log")" 0 "exit code after an end called off"
check_left "called off" "$all"

# The end is certain.
start_lookup long-list.txt
end_session end
expect_eq "$ended" 1223 "exit code at the end of the session"
[ "$told_ms" -le 2000 ] || fail "the end of the session took $told_ms ms"
check_left "session's end" some
echo "session's end: done in $told_ms ms"

# The same while another copy holds the log's turn, from before the lookup
# starts: the lookup waits for it (2 s) at every record, and the session
# ends in that wait.
rm -f "$unix_c/temp/findout.txt"
hold turn-hold 'C:\temp\findout.txt' 20000
start_lookup long-list.txt keep-log
end_session end
expect_eq "$ended" 1223 "exit code at the end of the session, the log's turn held"
[ "$told_ms" -le 2000 ] || fail "the end of the session, the log's turn held, took $told_ms ms"
check_left "log's turn held" some
kill "$holder_pid" 2>/dev/null || true
echo "log's turn held: done in $told_ms ms"

# And while another program holds the clipboard: what the clipboard holds
# then is that program's affair, but the log is whole all the same.
start_lookup long-list.txt
hold_clipboard 8000
end_session end
expect_eq "$ended" 1223 "exit code at the end of the session, the clipboard held"
[ "$told_ms" -le 2000 ] || fail "the end of the session, the clipboard held, took $told_ms ms"
check_left "clipboard held" some clipboard-held
kill "$holder_pid" 2>/dev/null || true
echo "clipboard held: done in $told_ms ms"
pass
