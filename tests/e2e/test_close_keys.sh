# Alt+F4 and the close box end the program as Close does.
source "$(dirname "$0")/lib.sh"

start_program "$VELTRANE"
click_text1
xdotool key --clearmodifiers alt+F4
wait_program
expect_eq "$exit_code" 0 "exit code after Alt+F4"

start_program "$VELTRANE"
wintool close-box
wait_program
expect_eq "$exit_code" 0 "exit code after the close box"
pass
