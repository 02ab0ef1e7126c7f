# Pasting into the window converts; a second paste replaces the first; Close ends.
source "$(dirname "$0")/lib.sh"

start_program "$VELTRANE"
expect_soon control100 "focus at start" form_fact focus
click_text1
paste_text "00:11:22:33:44:55"
expect_eq "$(form_fact control100.text)" "00:11:22:33:44:55" "Text1"
expect_eq "$(form_fact control101.text)" "00-11-22-33-44-55" "Text2"
expect_eq "$(form_fact control100.sel)" "0,17" "whole input selected"
# The script started by the conversion comes and goes without taking the
# keyboard from Text1: the next paste lands there.
poll 10 no_children || fail "the started script did not end: $(wintool children "$program_winpid")"
expect_eq "$(form_fact focus)" control100 "focus back on Text1"
expect_eq "$(form_fact active)" window "the window still active"
expect_eq "$(clipboard)" "00-11-22-33-44-55" "clipboard"
expect_eq "$(cat "$unix_temp/wmac.cmd")" $'set mac=\r\nset mac=00-11-22-33-44-55\r' "script"

paste_text "aa-bb-cc-dd-ee-ff"
expect_eq "$(form_fact control100.text)" "aa-bb-cc-dd-ee-ff" "Text1 after second paste"
expect_eq "$(form_fact control101.text)" "aa:bb:cc:dd:ee:ff" "Text2 after second paste"
expect_eq "$(clipboard)" "aa:bb:cc:dd:ee:ff" "clipboard after second paste"
expect_eq "$(cat "$unix_temp/wmac.cmd")" $'set mac=\r\nset mac=aa:bb:cc:dd:ee:ff\r' "script after second paste"

# cmd's special characters: the script still sets exactly the result.
special='x:&y|"%z%"^(1)<2> ?w'
paste_text "$special"
expect_eq "$(form_fact control101.text)" "${special//:/-}" "Text2 with specials"
expect_eq "$(wine cmd /c "call $win_temp\\wmac.cmd & set mac" 2>/dev/null </dev/null | tr -d '\r' | grep '^mac=')" \
  "mac=${special//:/-}" "what the script sets"

# No length limit: 40,000 characters convert whole.
long=$(printf '0a:%.0s' $(seq 13333))
paste_text "$long"
expect_eq "$(form_fact control101.text)" "${long//:/-}" "Text2 after a long paste"

# Typing replaces the selection key by key: only the last character stays.
xdotool type --delay 80 "12:3"
expect_soon "3|0,1" "typed, and the last change handled" text1_and_selection
expect_eq "$(form_fact control101.text)" "" "typed without separator"

click_close
wait_program
expect_eq "$exit_code" 0 "exit code after Close"
pass
