# The window's geometry at 96, 120 and 144 DPI, the keyboard, and screenshots
# of a conversion in a window with its frame (kept in this test's folder).
source "$(dirname "$0")/lib.sh"
trap 'set_dpi 96; cleanup' EXIT
shots="$PWD/screenshots"
mkdir -p "$shots"

check_geometry() {  # DPI CLIENT TEXT1 TEXT2 COMMAND1
  set_dpi "$1"
  start_program "$VELTRANE"
  local facts; facts=$(wintool form | tr -d '\r')
  fact() { grep "^$1=" <<<"$facts" | cut -d= -f2-; }
  expect_eq "$(fact dpi)" "$1" "dpi"
  expect_eq "$(fact caption)" "Veltrane" "caption at $1 dpi"
  expect_eq "$(fact client)" "$2" "client area at $1 dpi"
  expect_eq "$(fact control100.rect)" "$3" "Text1 at $1 dpi"
  expect_eq "$(fact control101.rect)" "$4" "Text2 at $1 dpi"
  expect_eq "$(fact control102.rect)" "$5" "Close at $1 dpi"
  expect_eq "$(fact control102.text)" "Close" "button caption"
}

check_geometry 96 304x114 16,16,273,25 16,56,273,25 16,96,273,17

# Tab and Shift+Tab walk Text1, Text2, Close; Enter and Esc do nothing special.
click_text1
for want in control101 control102 control100; do
  xdotool key --clearmodifiers Tab; sleep 0.3
  expect_eq "$(form_fact focus)" "$want" "focus after Tab"
done
for want in control102 control101 control100; do
  xdotool key --clearmodifiers shift+Tab; sleep 0.3
  expect_eq "$(form_fact focus)" "$want" "focus after Shift+Tab"
done
paste_text "00:11"
xdotool key --clearmodifiers Return Escape; sleep 0.5
kill -0 "$program_pid" || fail "Enter or Esc ended the program"
expect_eq "$(form_fact control100.text)" "00:11" "Text1 after Enter and Esc"
click_close
wait_program
expect_eq "$exit_code" 0 "exit code"

check_geometry 120 380x143 20,20,341,31 20,70,341,31 20,120,341,21
wintool close-box
wait_program
check_geometry 144 456x171 24,24,410,38 24,84,410,38 24,144,410,26
wintool close-box
wait_program

# Screenshots with the window's frame: Wine draws it on a virtual desktop.
screenshot() {  # DPI WIDTHxHEIGHT CLICK_X CLICK_Y
  set_dpi "$1"
  wine explorer "/desktop=shot$1,$2" "$VELTRANE" >/dev/null 2>&1 &
  desk=$(wait_for_window "^shot$1") || fail "no virtual desktop shot$1 within 20 s"
  sleep 2
  wintool clip-set "00:1a:2b:3c:4d:5e"
  xdotool mousemove --window "$desk" "$3" "$4" click 1; sleep 0.5
  xdotool key --clearmodifiers ctrl+v; sleep 1.5
  import -window "$desk" "$shots/veltrane-$1dpi.png"
  echo "screenshot: $shots/veltrane-$1dpi.png"
}
screenshot 96 330x150 150 50
# A real click on the title bar's close box ends the program.
xdotool mousemove --window "$desk" 292 9 click 1
sleep 1.5
pgrep -f "^$VELTRANE" >/dev/null && fail "the close box did not end the program"
screenshot 144 500x230 220 75
pass
