# An address on the command line: converted, exported, script started, exit
# 0. The script starts as written wherever TEMP points: cmd runs it by its
# name in its folder, so that a folder's name never reaches cmd's parser;
# and without a usable TEMP or TMP there is no script anywhere.
source "$(dirname "$0")/lib.sh"

WINEDEBUG=-all,+process run_program "$VELTRANE" 00:11:22:33:44:55 2>"$unix_temp/trace.log"
expect_eq "$exit_code" 0 "exit code"
expect_eq "$(clipboard)" "00-11-22-33-44-55" "clipboard"
expect_eq "$(cat "$unix_temp/wmac.cmd")" $'set mac=\r\nset mac=00-11-22-33-44-55\r' "script"
expect_eq "$(stat -c %s "$unix_temp/wmac.cmd")" 37 "script size"
grep -q 'cmd\.exe\\" /d /c \.\\\\wmac\.cmd"' "$unix_temp/trace.log" || fail "the script was not started by the system's cmd"

# cmd echoes each line of the script after its prompt, the current folder:
# the script that ran, and where. It runs on after the program has ended.
ran_in() {  # FOLDER LINE LOG
  poll 10 grep -qF "$1>$2" "$3" ||
    fail "no [$2] run in [$1]: $(tr -d '\r' <"$3" | grep -F '>' | head -n3 | tr '\n' '|')"
}

# A temporary folder with blanks in its path: the script still starts.
mkdir -p "$unix_temp/with blanks"
run_program "TEMP=$win_temp\\with blanks" -- "$VELTRANE" aa-bb
expect_eq "$exit_code" 0 "exit code with blanks"
expect_eq "$(cat "$unix_temp/with blanks/wmac.cmd")" $'set mac=\r\nset mac=aa:bb\r' "script with blanks"
ran_in "$win_temp\\with blanks" "set mac=aa:bb" "$unix_temp/run-program.log"

# A folder whose name holds a variable that only the program's environment
# sets, beside the folder named as cmd would expand it, whose script marks
# that it ran: only the program's own script runs.
right="$unix_temp/a%MACTOOLS_X%b" decoy="$unix_temp/aEXPANDEDb"
mkdir -p "$right" "$decoy"
printf '@echo off\r\necho decoy>"%%~dp0ran.txt"\r\n' >"$decoy/wmac.cmd"
run_program "TEMP=$win_temp\\a%MACTOOLS_X%b" MACTOOLS_X=EXPANDED -- "$VELTRANE" 00:11:22
expect_eq "$exit_code" 0 "exit code with a variable in the folder's name"
expect_eq "$(cat "$right/wmac.cmd")" $'set mac=\r\nset mac=00-11-22\r' "script in a folder with a variable in its name"
ran_in "$win_temp\\a%MACTOOLS_X%b" "set mac=00-11-22" "$unix_temp/run-program.log"
[ ! -e "$decoy/ran.txt" ] || fail "the script of the folder named as cmd would expand ran"

# Neither TEMP nor TMP: the conversion as always, and no script at the
# root of a drive, nor in the current folder.
rm -f "$unix_c/wmac.cmd" /wmac.cmd wmac.cmd
run_program TEMP= TMP= -- "$VELTRANE" 00:22
expect_eq "$exit_code" 0 "exit code without TEMP and TMP"
expect_eq "$(clipboard)" "00-22" "clipboard without TEMP and TMP"
for place in "$unix_c/wmac.cmd" /wmac.cmd "$PWD/wmac.cmd"; do
  [ ! -e "$place" ] || fail "a script at $place without TEMP and TMP"
done
pass
