# Only what a run leaves enters clipboard history: a listener beside a
# conversion and a lookup of six matches sees every earlier text marked to
# be passed over, and the last one unmarked, holding what it always held.
source "$(dirname "$0")/lib.sh"

# Runs PROGRAM ARGS with a clipboard listener beside it; sets notices to
# how many changes it was told of, and states to what it read, one line
# per clipboard state (a state read twice, late, counts once).
watch_run() {
  local log="$unix_temp/watch.log"
  : >"$log"
  wintool clip-watch 1500 30000 >"$log" &
  local watcher=$!
  pids+=("$watcher")
  poll 10 grep -q listening "$log" || fail "the clipboard listener did not start"
  run_program "$@"
  wait "$watcher" || true
  notices=$(tr -d '\r' <"$log" | grep -c '^seq=' || true)
  states=$(tr -d '\r' <"$log" | grep '^seq=' | awk '!seen[$1]++' | cut -d' ' -f2-)
}

# Every change but the last carries all three markers or no text at all;
# the last carries none and holds FINAL.
expect_only_last_kept() {  # FINAL WHAT
  local final="text=$1 marked=0"
  expect_eq "$(tail -n1 <<<"$states")" "$final" "$2: the last state"
  local earlier; earlier=$(head -n -1 <<<"$states" | grep -v -e ' marked=3$' -e '^text=(none) ' || true)
  [ -z "$earlier" ] || fail "$2: earlier texts left for history: $earlier"
}

watch_run "$VELTRANE" 00:11:22:33:44:55
expect_eq "$exit_code" 0 "exit code of the conversion"
expect_only_last_kept "00-11-22-33-44-55" "conversion"
expect_eq "$notices" 2 "clipboard changes of a conversion: the conversion's, then the one it leaves"

copy_examples
for i in 1 2 3 4 5 6; do
  printf '192.168.0.%s    - 255.255.255.0  - 00-1a-2b-3c-4d-0%s   - 18.11.2027 09:00:00  -D-  pc0%s.example.org\r\n' \
    "$i" "$i" "$i"
done >"$unix_c/temp/six.txt"
printf 'c:\\temp\\six.txt\r\n' >"$unix_c/temp/six-list.txt"
watch_run "$TESSILO" '/dhcp<c:\temp\six-list.txt' 00-1a
expect_eq "$exit_code" 0 "exit code of the lookup"
last='Hostname pc06\r\nMacaddress:00:1a:2b:3c:4d:06\r\nIPaddress:192.168.0.6\r\nMask:255.255.255.0\r\nLease:18.11.2027 09:00:00'
expect_only_last_kept "$last" "lookup of six matches"
expect_eq "$notices" 7 "clipboard changes of a lookup of six matches: one per match and the last again"
expect_eq "$(clipboard)" "$(printf "${last//\\r\\n/\\r\\n}")" "the clipboard after the lookup"
pass
