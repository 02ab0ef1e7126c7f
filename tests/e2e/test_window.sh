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
  xdotool key --clearmodifiers Tab
  expect_soon "$want" "focus after Tab" form_fact focus
done
for want in control102 control101 control100; do
  xdotool key --clearmodifiers shift+Tab
  expect_soon "$want" "focus after Shift+Tab" form_fact focus
done
paste_text "00:11"
# Keys are handled in order: once the Tab after them has moved the focus,
# Enter and Esc have been handled.
xdotool key --clearmodifiers Return Escape Tab
expect_soon control101 "focus after Enter, Esc and Tab" form_fact focus
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

# Screenshots with the window's frame: Wine draws it on a virtual desktop,
# whose windows wintool reads from inside it.
desk_fact() {  # DPI FACT
  wintool --desktop "shot$1" form 2>/dev/null | tr -d '\r' | grep "^$2=" | head -n1 | cut -d= -f2- || true
}
desk_empty() { ! wintool --desktop "shot$1" has-form 2>/dev/null; }
screenshot() {  # DPI WIDTHxHEIGHT CLICK_X CLICK_Y
  set_dpi "$1"
  wine explorer "/desktop=shot$1,$2" "$VELTRANE" >/dev/null 2>&1 &
  desk=$(wait_for_window "^shot$1") || fail "no virtual desktop shot$1 within 20 s"
  expect_soon control100 "focus in desktop shot$1" desk_fact "$1" focus
  wintool clip-set "00:1a:2b:3c:4d:5e"
  xdotool mousemove --window "$desk" "$3" "$4" click 1
  xdotool key --clearmodifiers ctrl+v
  expect_soon "0,17" "Text1 selected after the paste in desktop shot$1" desk_fact "$1" control100.sel
  expect_eq "$(desk_fact "$1" control101.text)" "00-1a-2b-3c-4d-5e" "Text2 in desktop shot$1"
  import -window "$desk" "$shots/veltrane-$1dpi.png"
  echo "screenshot: $shots/veltrane-$1dpi.png"
}
screenshot 96 330x150 150 50
# A real click on the title bar's close box ends the program.
desk_empty 96 && fail "no form seen in desktop shot96 before its close box"
xdotool mousemove --window "$desk" 292 9 click 1
poll 10 desk_empty 96 || fail "the close box did not end the program"
screenshot 144 500x230 220 75
pass
