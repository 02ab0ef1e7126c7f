# Text of every kind: the clipboard holds exactly the result, and the script
# sets exactly the result or, where cmd could read it otherwise, is not
# written; the window stays responsive.
source "$(dirname "$0")/lib.sh"

# What the script in this test's folder sets mac to, as Wine's cmd runs it.
mac_set_by_script() {
  wine cmd /c "call $win_temp\\wmac.cmd & set mac" 2>/dev/null </dev/null | tr -d '\r' | sed -n 's/^mac=//p'
}

start_program "$VELTRANE"
click_text1

# Tabs and printable ASCII: a script that sets exactly that.
paste_text $'00:1a\t~x'
expect_eq "$(clipboard)" $'00-1a\t~x' "clipboard"
expect_eq "$(od -An -tx1 "$unix_temp/wmac.cmd" | tr -d ' \n')" \
  "736574206d61633d0d0a736574206d61633d30302d3161""09""7e78""0d0a" "script bytes"

# Letters beyond ASCII (which cmd reads in the console's code page, not the
# one the script would be written in), a surrogate pair, a control
# character, "!" (which a caller's delayed expansion reads otherwise): no
# script at all, whatever the code page could hold.
for odd in $'a:\xc3\xa4\xe2\x82\xac' $'a:b\xf0\x9f\x98\x80\xe6\x96\x87:\xd0\x96' $'a:b\x1ac' 'a:b!x!'; do
  paste_text "$odd"
  expect_eq "$(form_fact control101.text)" "${odd//:/-}" "Text2"
  expect_eq "$(clipboard)" "${odd//:/-}" "clipboard"
  [ -e "$unix_temp/wmac.cmd" ] && fail "a script was written for $(od -An -c <<<"$odd")"
done

# 100,000 characters: converted whole, but longer than cmd reads, so no script.
long=$(printf '0a:%.0s' $(seq 33333))0
paste_text "$long"
expect_eq "$(form_fact control101.text)" "${long//:/-}" "Text2 of 100,000 characters"
expect_eq "$(clipboard)" "${long//:/-}" "clipboard of 100,000 characters"
[ -e "$unix_temp/wmac.cmd" ] && fail "a script longer than cmd reads was written"

click_close
wait_program
expect_eq "$exit_code" 0 "exit code"

# cmd's limit: a line of 8,191 characters sets mac whole; one more, no script.
longest="a:$(printf 'b%.0s' $(seq 8181))"
run_program "$VELTRANE" "$longest"
expect_eq "$(mac_set_by_script)" "${longest//:/-}" "what the longest script sets"
run_program "$VELTRANE" "${longest}b"
expect_eq "$(clipboard)" "${longest//:/-}b" "clipboard one past the limit"
[ -e "$unix_temp/wmac.cmd" ] && fail "a script past cmd's limit was written"
pass
