# Sourced by every end-to-end test: Wine, a display, the programs, and checks.
set -euo pipefail
source "$MACTOOLS_SCRIPTS/wine-env.sh"
source "$MACTOOLS_SCRIPTS/virtual-display.sh"

test_name=$(basename "$0" .sh)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  stop_wine
  stop_virtual_display
}
trap cleanup EXIT


# Each test has its own temporary folder inside the prefix.
win_temp="C:\\e2e\\$test_name"
unix_temp="$WINEPREFIX/drive_c/e2e/$test_name"
rm -rf "$unix_temp" && mkdir -p "$unix_temp"
unix_c="$WINEPREFIX/drive_c"

fail() { echo "FAIL ($test_name): $*" >&2; exit 1; }

# The one way these tests wait: for a state, with a deadline, never for a
# fixed time. Runs COMMAND every 50 ms until it succeeds; returns 1 when
# SECONDS (whole) have passed without.
poll() {  # SECONDS COMMAND...
  local deadline=$(($(date +%s%N) / 1000000 + $1 * 1000))
  shift
  until "$@"; do
    [ $(($(date +%s%N) / 1000000)) -lt "$deadline" ] || return 1
    sleep 0.05
  done
}
# Whether COMMAND prints exactly TEXT.
prints() { [ "$("${@:2}")" == "$1" ]; }  # TEXT COMMAND...
not() { ! "$@"; }
# Whether the process (of this machine) has ended.
gone() { ! kill -0 "$1" 2>/dev/null; }  # PID
# Checks that COMMAND comes to print EXPECTED within 10 s.
expect_soon() {  # EXPECTED WHAT COMMAND...
  poll 10 prints "$1" "${@:3}" || expect_eq "$("${@:3}")" "$1" "$2"
}

expect_eq() { [ "$1" == "$2" ] || fail "$3: expected [$2], got [$1]"; }
pass() { echo "ok: $test_name"; }

wintool() { wine "$WINTOOL" "$@"; }

# Wine's own services, detached from the test's output, and its desktop with
# the clipboard manager: a manager that starts while a program sets the
# clipboard may take the clipboard over from it.
start_wine() {
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  wintool wait-desktop </dev/null >/dev/null 2>&1 || echo "note: no clipboard manager within 10 s" >&2
}
# Ends Wine's processes and waits for the server to be gone, so that the
# next test does not reach a server that is still going away.
stop_wine() {
  wineserver -k 2>/dev/null || true
  timeout 20 "$WINESERVER" -w 2>/dev/null || true
}
start_wine
clipboard() { wintool clip-get; }
# One fact from the form: caption, client, focus, control100.text, control100.sel, ...
form_fact() { wintool form | tr -d '\r' | grep "^$1=" | head -n1 | cut -d= -f2-; }

# The records of c:\temp\findout.txt, read with the layout the program
# writes them with: "DATE|TIME|HOST|MAC|IP|MASK|LEASE" each, or "broken: ...".
log_records() { wintool records 'C:\temp\findout.txt' | tr -d '\r'; }

# The exit code that wintool's run wrote into a log ("exit=N", in full).
exit_of() { tr -d '\r' <"$1" | grep '^exit=' | cut -d= -f2; }

# Splits [NAME=VALUE... --] PROGRAM ARGS... into program_env (TEMP is this
# test's folder unless set there) and program_command.
split_program_args() {
  program_env=("TEMP=$win_temp") program_command=("$@")
  if [[ " $* " == *" -- "* ]]; then
    while [ "$1" != -- ]; do program_env+=("$1"); shift; done
    program_command=("${@:2}")
  fi
}

# Runs a program to its end and sets exit_code, in full as Windows has it.
# Wine's own output goes to standard error.
run_program() {  # [NAME=VALUE... --] PROGRAM ARGS...
  local log="$unix_temp/run-program.log"
  split_program_args "$@"
  wintool run "${program_env[@]}" -- "${program_command[@]}" >"$log" || true
  exit_code=$(exit_of "$log")
}

# Runs a program that is to end with the error report: checks that the
# report has the program's title and holds TEXT, dismisses it with Enter,
# and sets exit_code and report.
expect_report() {  # TEXT PROGRAM ARGS...
  local text=$1 log
  shift
  log=$(mktemp -p "$unix_temp" report.XXXXXX)
  wintool run "TEMP=$win_temp" -- "$@" >"$log" 2>&1 &
  local runner=$!
  report=$(wintool dialog-text | tr -d '\r') || fail "no error report from $*"
  local title; title=$(basename "$1" .exe)
  grep -qx "title=$title" <<<"$report" || fail "report title is not $title: $report"
  grep -qF -- "$text" <<<"$report" || fail "report without [$text]: $report"
  xdotool key --clearmodifiers Return
  wait "$runner" || true
  exit_code=$(exit_of "$log")
}

# Another program holds the clipboard, or a file alone, for MS milliseconds;
# returns once it holds it.
hold_clipboard() { hold clip-hold "$1"; }
hold_file() { hold file-hold "$1" "$2"; }
hold() {
  local log; log=$(mktemp -p "$unix_temp" hold.XXXXXX)
  wintool "$@" >"$log" &
  holder_pid=$!
  pids+=("$holder_pid")
  poll 5 grep -q held "$log" || fail "could not hold: $*"
}

# Starts a program in the background; waits until its window is on the
# screen and answers as shown. Sets program_pid (of the runner here) and
# program_winpid (of the program, for Windows).
start_program() {  # [NAME=VALUE... --] PROGRAM ARGS...
  split_program_args "$@"
  wintool run "${program_env[@]}" -- "${program_command[@]}" >"$unix_temp/exit-code.log" 2>&1 &
  program_pid=$!
  pids+=("$program_pid")
  window_id=$(wait_for_window "^Veltrane\$") ||
    fail "no window within 20 s: $*; on screen: $(on_screen)"
  poll 10 prints 1 form_fact visible || fail "the window does not answer as shown: $(wintool form)"
  program_winpid=$(tr -d '\r' <"$unix_temp/exit-code.log" | sed -n 's/^pid=//p')
}

# The names of the visible windows, and the texts of a message box if one
# is up: what a failure to find a window shows.
on_screen() {
  xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' '|' || true
  wintool dialog-text 2>/dev/null | tr -d '\r' | tr '\n' ' ' || true
}

# Whether the program started by start_program has no live child process.
no_children() { prints "" wintool children "$program_winpid"; }

# Waits for the background program to end; sets exit_code.
wait_program() {
  poll 10 gone "$program_pid" || fail "the program did not end"
  wait "$program_pid" || true
  exit_code=$(exit_of "$unix_temp/exit-code.log")
}

# The sample list file and lease listings, in c:\temp where the list names them.
copy_examples() {
  mkdir -p "$unix_c/temp"
  cp "$EXAMPLES"/list.txt "$EXAMPLES"/leases-*.txt "$unix_c/temp/"
}

# Pastes text from the X clipboard with Ctrl+V into Text1, once Wine has
# taken the text over from X, and returns when the change is handled:
# Text1 holds the text and, as the change's last step, all of it is
# selected (while the change runs, the caret is at the text's end).
paste_text() {
  printf '%s' "$1" | xclip -selection clipboard >/dev/null 2>&1 &
  pids+=($!)
  poll 5 prints "$1" clipboard || fail "Wine did not take the X clipboard over: [$(clipboard)]"
  xdotool key --clearmodifiers ctrl+v
  local units; units=$(($(printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE | wc -c) / 2))
  poll 10 prints "$1|0,$units" text1_and_selection ||
    fail "the paste of $units units was not handled: Text1 and selection [$(text1_and_selection | cut -c1-80)]"
}

text1_and_selection() {
  wintool form | tr -d '\r' | awk -F= '$1 == "control100.text" { t = substr($0, 17) } $1 == "control100.sel" { s = $2 }
    END { printf "%s|%s", t, s }'
}

# A real click at a point of the window's client area.
click_at() { xdotool mousemove --window "$window_id" "$1" "$2" click 1; }
click_text1() { click_at 150 28; poll 5 prints control100 form_fact focus || fail "Text1 did not take the click"; }
click_close() { click_at 150 104; }

# The functions that Wine's relay trace (WINEDEBUG=+relay) shows, as
# module.Function separated by ";"; all of them again when empty.
relay_only() {  # FUNCTIONS
  if [ -n "$1" ]; then
    wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /d "$1" /f >/dev/null 2>&1
  else
    wine reg delete 'HKCU\Software\Wine\Debug' /v RelayInclude /f >/dev/null 2>&1 || true
  fi
}

# The display's DPI for the programs started after it (Wine reads it at start).
set_dpi() {
  stop_wine
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -w
  start_wine
}
