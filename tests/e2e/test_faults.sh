# Faults around the programs: they end as they should, with a report where
# one is due, and never lose what earlier records wrote to the log.
source "$(dirname "$0")/lib.sh"

exit_of() { tr -d '\r' <"$1" | grep '^exit=' | cut -d= -f2; }
# Runs a program that is expected to report an error: checks the report
# names what it should, dismisses it, and sets exit_code.
expect_report() {  # LOG-FILE TEXT -- PROGRAM ARGS...
  local log=$1 text=$2; shift 3
  wintool run "TEMP=$win_temp" -- "$@" >"$log" 2>&1 &
  local runner=$!
  local report; report=$(wintool dialog-text | tr -d '\r') || fail "no error report for $*"
  grep -qF -- "$text" <<<"$report" || fail "report without [$text]: $report"
  xdotool key --clearmodifiers Return
  wait "$runner" || true
  exit_code=$(exit_of "$log")
}

# A temporary folder that is missing, or is a file: converted and on the
# clipboard all the same, no script, exit code 0.
for temp in 'C:\no\such\folder' "$win_temp\\a-file"; do
  : >"$unix_temp/a-file"
  wintool run "TEMP=$temp" -- "$VELTRANE" 00:11:22 >"$unix_temp/run.log" 2>&1 || true
  expect_eq "$(exit_of "$unix_temp/run.log")" 0 "exit code with TEMP=$temp"
  expect_eq "$(clipboard)" "00-11-22" "clipboard with TEMP=$temp"
done

mkdir -p "$unix_c/temp"
cp "$EXAMPLES"/list.txt "$EXAMPLES"/leases-*.txt "$unix_c/temp/"
lookup=("$TESSILO" '/dhcp<c:\temp\list.txt' 00-1a)
printf 'an earlier record\r\n' >"$unix_c/temp/findout.txt"

# The clipboard held by another program during a lookup.
wintool clip-hold 8000 >"$unix_temp/hold.log" &
pids+=($!)
for _ in $(seq 50); do grep -q held "$unix_temp/hold.log" 2>/dev/null && break; sleep 0.1; done
expect_report "$unix_temp/held.log" "Can't open clipboard" -- "${lookup[@]}"
expect_eq "$exit_code" 521 "exit code with the clipboard held"
expect_eq "$(cat "$unix_c/temp/findout.txt")" $'an earlier record\r' "log after the clipboard fault"

# findout.txt that cannot be written: another program holds it open alone
# (a read-only attribute does not stop root, which runs these tests).
wintool file-hold 'c:\temp\findout.txt' 8000 >"$unix_temp/file-hold.log" &
pids+=($!)
for _ in $(seq 50); do grep -q held "$unix_temp/file-hold.log" 2>/dev/null && break; sleep 0.1; done
expect_report "$unix_temp/ro.log" 'findout.txt' -- "${lookup[@]}"
expect_eq "$exit_code" 75 "exit code with a log that cannot be written"
wait "${pids[-1]}" || true
expect_eq "$(cat "$unix_c/temp/findout.txt")" $'an earlier record\r' "log after the unwritable log"

# c:\temp missing.
mv "$unix_c/temp" "$unix_c/temp.away"
expect_report "$unix_temp/missing.log" 'datas.txt' -- "${lookup[@]}"
mv "$unix_c/temp.away" "$unix_c/temp"
expect_eq "$exit_code" 76 "exit code without c:\\temp"

# A listing of 100 MB on one line: read through, nothing reported.
mkdir -p "$unix_c/big"
head -c 100000000 /dev/zero | tr '\0' 'x' >"$unix_c/big/one-line.txt"
printf 'c:\\big\\one-line.txt\r\n' >"$unix_c/big/list.txt"
run_program "$TESSILO" '/dhcp<c:\big\list.txt' 00-1a >"$unix_temp/big.log" 2>&1 || true
expect_eq "$(exit_of "$unix_temp/big.log")" 0 "exit code on a 100 MB line"
expect_eq "$(cat "$unix_c/temp/findout.txt")" $'an earlier record\r' "log after the 100 MB line"
rm -rf "$unix_c/big"
pass
