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

# The old script held by a reader that lets others delete it (a virus
# scanner, cmd running it): the new script is exact while the old one is
# held and after, and nothing is left beside it once the holder lets go.
printf 'set mac=\r\nset mac=an older address\r\n' >"$unix_temp/wmac.cmd"
hold file-hold "$win_temp\\wmac.cmd" 6000 share-delete
run_program "$VELTRANE" 00:33:44
expect_eq "$exit_code" 0 "exit code with the old script held"
gone "$holder_pid" && fail "the holder let go before the script was checked"
expect_eq "$(cat "$unix_temp/wmac.cmd")" $'set mac=\r\nset mac=00-33-44\r' "script while the old one is held"
wait "$holder_pid" || true
expect_eq "$(cat "$unix_temp/wmac.cmd")" $'set mac=\r\nset mac=00-33-44\r' "script once the holder let go"
expect_eq "$(ls "$unix_temp" | grep -E '^wm.*\.(old|new)$' || true)" "" "files left beside the script"

# Started hidden, as a script's hidden start asks: the same conversion,
# clipboard and script, exit code 0, and no window on screen at any time.
wintool watch-form 20000 >"$unix_temp/watch.log" &
watcher=$!
pids+=("$watcher")
poll 5 grep -q watching "$unix_temp/watch.log" || fail "the watcher did not start"
run_program SHOW=0 -- "$VELTRANE" 00:55:66
expect_eq "$exit_code" 0 "exit code started hidden"
expect_soon "00-55-66" "clipboard started hidden" clipboard
expect_eq "$(cat "$unix_temp/wmac.cmd")" $'set mac=\r\nset mac=00-55-66\r' "script started hidden"
poll 10 gone "$watcher" || fail "the watcher did not end"
expect_eq "$(tr -d '\r' <"$unix_temp/watch.log" | tail -n1)" "seen hidden" "the window started hidden"

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
