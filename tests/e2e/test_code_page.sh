# A double-byte system code page: under Japanese (932) both 81 E0 and 87 90
# read as U+2252, and a lookup for it finds the lines with either form.
source "$(dirname "$0")/lib.sh"

# Wine takes the code page from the locale's name, installed or not.
japanese=(env LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8)
line() { printf '192.168.0.%s    - 255.255.255.0  - 00-1a-2b-3c-4d-%s   - 18.11.2027 09:00:00  -D-  %b\r\n' "$@"; }
{
  printf '\r\n'
  line 10 01 '\x81\xe0pc01'
  line 11 02 '\x87\x90pc02'
  line 12 03 'xpc03'
} >"$unix_temp/leases.txt"
printf '%s\\leases.txt\r\n' "$win_temp" >"$unix_temp/list.txt"
# The search text reaches the program as cmd reads it from a script in the
# code page: the 81 E0 form.
tessilo=$(winepath -w "$TESSILO" 2>/dev/null | tr -d '\r')
printf '"%s" /dhcp^<%s\\list.txt \x81\xe0pc\r\nexit /b %%errorlevel%%\r\n' "$tessilo" "$win_temp" >"$unix_temp/run.cmd"
rm -f "$unix_c/temp/findout.txt"

"${japanese[@]}" "$WINELOADER" "$WINTOOL" run "TEMP=$win_temp" -- 'C:\windows\system32\cmd.exe' /c "$win_temp\\run.cmd" \
  >"$unix_temp/run.log" 2>&1 || true
expect_eq "$(exit_of "$unix_temp/run.log")" 0 "exit code"
log="$unix_c/temp/findout.txt"
[ -f "$log" ] || fail "no findout.txt"
# Read in the code page, with the layout the program writes.
records=$("${japanese[@]}" "$WINELOADER" "$WINTOOL" records 'C:\temp\findout.txt' | tr -d '\r')
expect_eq "$(cut -d'|' -f3,4 <<<"$records")" $' \u2252pc01|00:1a:2b:3c:4d:01\n \u2252pc02|00:1a:2b:3c:4d:02' "records found"
expect_eq "$(grep -a -c $'^ *\x81\xe0pc0[12]\r$' "$log")" 2 "host names, in the code page's first form"
pass
