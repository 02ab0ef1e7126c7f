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

# What cmd ran shows in the program's trace (cmd started as the script's
# own), and in decoys that mark when run. Each run below waits for the
# started cmd to end.
decoy() {  # FOLDER: a wmac.cmd there that marks in FOLDER/ran.txt
  mkdir -p "$1"
  printf '@echo off\r\necho ran>"%%~dp0ran.txt"\r\n' >"$1/wmac.cmd"
}
run_script() {  # WHAT [NAME=VALUE... --] PROGRAM ARGS...: from the folder "elsewhere"
  local what=$1
  shift
  pushd "$unix_temp/elsewhere" >/dev/null
  WINEDEBUG=-all,+process run_program "$@" 2>"$unix_temp/trace.log"
  popd >/dev/null
  expect_eq "$exit_code" 0 "exit code $what"
  local pid; pid=$(tr -d '\r' <"$unix_temp/run-program.log" | sed -n 's/^pid=//p')
  poll 10 prints "" wintool children "$pid" || fail "the script $what did not end"
  grep -q 'cmd\.exe\\" /d /c \.\\\\wmac\.cmd"' "$unix_temp/trace.log" || fail "the script $what was not started by its name"
  [ ! -e "$unix_temp/elsewhere/ran.txt" ] || fail "the script $what ran in the program's folder, not its own"
}
# Where cmd would find .\wmac.cmd if the script's folder were not made its
# current one: the program's own current folder.
decoy "$unix_temp/elsewhere"

# A temporary folder with blanks in its path.
mkdir -p "$unix_temp/with blanks"
run_script "with blanks" "TEMP=$win_temp\\with blanks" -- "$VELTRANE" aa-bb
expect_eq "$(cat "$unix_temp/with blanks/wmac.cmd")" $'set mac=\r\nset mac=aa:bb\r' "script with blanks"

# A folder whose name holds a variable that only the program's environment
# sets, beside the folder named as cmd would expand it: only the program's
# own script runs.
mkdir -p "$unix_temp/a%MACTOOLS_X%b"
decoy "$unix_temp/aEXPANDEDb"
run_script "with a variable in its folder's name" "TEMP=$win_temp\\a%MACTOOLS_X%b" MACTOOLS_X=EXPANDED -- "$VELTRANE" 00:11:22
expect_eq "$(cat "$unix_temp/a%MACTOOLS_X%b/wmac.cmd")" $'set mac=\r\nset mac=00-11-22\r' "script in a folder with a variable in its name"
[ ! -e "$unix_temp/aEXPANDEDb/ran.txt" ] || fail "the script of the folder named as cmd would expand ran"

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
