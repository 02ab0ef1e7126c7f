# A screen reader can tell the controls apart: through Active Accessibility
# the input and output fields are named after their hidden labels and the
# button after its caption, in both programs.
source "$(dirname "$0")/lib.sh"
for program in "$VELTRANE" "$TESSILO"; do
  start_program "$program"
  expect_eq "$(wintool names | tr -d '\r')" \
    $'control100.name=Address\ncontrol101.name=Converted address\ncontrol102.name=Close' \
    "accessible names in $(basename "$program")"
  click_close
  wait_program
done
pass
