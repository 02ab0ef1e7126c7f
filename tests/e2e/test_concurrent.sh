# Four lookups at once append 1,000 whole records to findout.txt: they take
# turns at the clipboard, and no record is lost or broken by another's.
source "$(dirname "$0")/lib.sh"

mkdir -p "$unix_c/temp"
rm -f "$unix_c/temp/findout.txt"
records=250
for n in 1 2 3 4; do
  for i in $(seq $records); do
    printf '10.%d.0.%d   - 255.255.0.0  - 00-1a-00-00-%02x-%02x   - 01.01.2027 10:00:00   -D-  run%d-host%d.example.org\r\n' \
      "$n" "$i" "$n" "$i" "$n" "$i"
  done >"$unix_c/temp/concurrent-$n.txt"
  printf 'c:\\temp\\concurrent-%d.txt\r\n' "$n" >"$unix_c/temp/concurrent-list-$n.txt"
done

runners=()
for n in 1 2 3 4; do
  wintool run -- "$TESSILO" "/dhcp<c:\\temp\\concurrent-list-$n.txt" 00-1a >"$unix_temp/run-$n.log" 2>&1 &
  runners+=($!)
done
# Every lookup ends within 120 s; one that does not is waiting on its error
# report, which the failure shows.
all_gone() { for r in "${runners[@]}"; do gone "$r" || return 1; done; }
poll 120 all_gone ||
  fail "a lookup did not end within 120 s; on screen: $(wintool dialog-text 2>/dev/null | tr -d '\r' | tr '\n' ' ')"
for r in "${runners[@]}"; do wait "$r" || true; done
for n in 1 2 3 4; do expect_eq "$(exit_of "$unix_temp/run-$n.log")" 0 "exit code of lookup $n"; done

log="$unix_c/temp/findout.txt"
expect_eq "$(wc -l <"$log")" $((4 * records * 6)) "log lines"
# Every record whole: host and address of the same client, in their places.
bad=$(log_records | awk -F'|' '
  /^broken: / || NF != 7 || $3 !~ /^ run[0-9]+-host[0-9]+$/ { print; next }
  { n = substr($3, 5); split(n, p, "-host"); run = p[1]; host = p[2] }
  $4 != sprintf("00:1a:00:00:%02x:%02x", run, host) || $5 != sprintf("10.%d.0.%d", run, host) ||
  $6 != "255.255.0.0" || $7 != "01.01.2027 10:00:00" { print }
' | head -n 5)
[ -z "$bad" ] || fail "broken records: $bad"
for n in 1 2 3 4; do
  expect_eq "$(log_records | grep -c "| run$n-host")" $records "records of lookup $n"
done
pass
