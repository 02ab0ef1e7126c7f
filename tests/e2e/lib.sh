# Sourced by every end-to-end test: Wine, a display, the programs, and checks.
set -euo pipefail
source "$MACTOOLS_SCRIPTS/wine-env.sh"

test_name=$(basename "$0" .sh)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

# A display of our own when none is given.
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    export DISPLAY=":$n"
    break
  done
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] && break; sleep 0.1; done
fi

# Wine's own services start here, detached from the test's output.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true

# Each test has its own temporary folder inside the prefix.
win_temp="C:\\e2e\\$test_name"
unix_temp="$WINEPREFIX/drive_c/e2e/$test_name"
rm -rf "$unix_temp" && mkdir -p "$unix_temp"
unix_c="$WINEPREFIX/drive_c"

fail() { echo "FAIL ($test_name): $*" >&2; exit 1; }
expect_eq() { [ "$1" == "$2" ] || fail "$3: expected [$2], got [$1]"; }
pass() { echo "ok: $test_name"; }

wintool() { wine "$WINTOOL" "$@"; }
clipboard() { wintool clip-get; }
# One fact from the form: caption, client, focus, control100.text, control100.sel, ...
form_fact() { wintool form | tr -d '\r' | grep "^$1=" | head -n1 | cut -d= -f2-; }

# Runs a program to its end with TEMP set to this test's folder; prints
# "exit=N" with its whole exit code and returns it (as Unix sees it).
run_program() { local exe=$1; shift; wintool run "TEMP=$win_temp" -- "$exe" "$@"; }

# Starts a program in the background; waits for its window.
start_program() {
  local exe=$1; shift
  wintool run "TEMP=$win_temp" -- "$exe" "$@" >"$unix_temp/exit-code.log" 2>&1 &
  program_pid=$!
  pids+=("$program_pid")
  window_id=$(xdotool search --sync --onlyvisible --name '^Veltrane$' | head -n1)
  [ -n "$window_id" ] || fail "no window"
  sleep 0.5
}

# Waits for the background program to end; sets exit_code.
wait_program() {
  for _ in $(seq 100); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$program_pid" 2>/dev/null && fail "the program did not end"
  exit_code=0
  wait "$program_pid" || exit_code=$?
}

# Pastes text from the X clipboard with Ctrl+V into the focused field,
# once Wine has taken the text over from X.
paste_text() {
  printf '%s' "$1" | xclip -selection clipboard >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do [ "$(clipboard 2>/dev/null)" == "$1" ] && break; sleep 0.1; done
  xdotool key --clearmodifiers ctrl+v
  for _ in $(seq 50); do [ "$(form_fact control100.text)" == "$1" ] && break; sleep 0.1; done
  sleep 0.3
}

script_bytes() { od -An -c "$unix_temp/wmac.cmd" | tr -s ' '; }

# A real click at a point of the window's client area.
click_at() { xdotool mousemove --window "$window_id" "$1" "$2" click 1; sleep 0.4; }
click_text1() { click_at 150 28; }
click_close() { click_at 150 104; }

# The display's DPI for the programs started after it (Wine reads it at start).
set_dpi() {
  wineserver -k 2>/dev/null || true
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -w
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}
