# Text of every kind: the clipboard holds exactly the result, and the script
# sets exactly the result or, where the code page cannot carry it, is not
# written; the window stays responsive.
source "$(dirname "$0")/lib.sh"

start_program "$VELTRANE"
click_text1

# Tabs and Latin letters the code page holds: script in that code page.
paste_text $'00:1a\t\xc3\xa4\xe2\x82\xac'
expect_eq "$(clipboard)" $'00-1a\t\xc3\xa4\xe2\x82\xac' "clipboard"
expect_eq "$(od -An -tx1 "$unix_temp/wmac.cmd" | tr -d ' \n')" \
  "736574206d61633d0d0a736574206d61633d30302d3161""09""e480""0d0a" "script bytes"

# Letters outside the code page and a surrogate pair: no script at all.
odd=$'a:b\xf0\x9f\x98\x80\xe6\x96\x87:\xd0\x96'
paste_text "$odd"
expect_eq "$(form_fact control101.text)" "${odd//:/-}" "Text2"
expect_eq "$(clipboard)" "${odd//:/-}" "clipboard"
[ -e "$unix_temp/wmac.cmd" ] && fail "a script that cannot hold the result was written"

# 100,000 characters.
long=$(printf '0a:%.0s' $(seq 33333))0
paste_text "$long"
expect_eq "$(form_fact control101.text)" "${long//:/-}" "Text2 of 100,000 characters"
expect_eq "$(clipboard)" "${long//:/-}" "clipboard of 100,000 characters"
expect_eq "$(stat -c %s "$unix_temp/wmac.cmd")" $((10 + 8 + 100000 + 2)) "script of 100,000 characters"

click_close
wait_program
expect_eq "$exit_code" 0 "exit code"
pass
