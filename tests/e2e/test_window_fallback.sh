# On the paths for Windows 8.1 and Windows 7, which do without the
# functions of Windows 10 (MACTOOLS_WIN32_LEVEL, read only by the tests' own
# build of the programs), the window is laid out exactly as on the modern path, at 96 and 144 DPI, fonts included; and each path
# calls what its Windows has.
source "$(dirname "$0")/lib.sh"
trap 'set_dpi 96; relay_only ""; cleanup' EXIT

# The functions each path sizes the window with, as Wine's relay trace sees them.
calls_of_level() {
  WINEDEBUG=+relay run_program MACTOOLS_WIN32_LEVEL="$1" -- "$VELTRANE_LEVELS" 00:11 2>&1 >/dev/null |
    grep -o 'Call [a-z0-9]*\.[A-Za-z]*' | sort -u | sed 's/^Call //' | tr '\n' ' '
}
relay_only 'user32.AdjustWindowRectExForDpi;user32.AdjustWindowRectEx;shcore.GetDpiForMonitor'
expect_eq "$(calls_of_level 10)" "user32.AdjustWindowRectExForDpi " "calls on the Windows 10 path"
expect_eq "$(calls_of_level 8.1)" "shcore.GetDpiForMonitor user32.AdjustWindowRectEx " "calls on the Windows 8.1 path"
expect_eq "$(calls_of_level 7)" "user32.AdjustWindowRectEx " "calls on the Windows 7 path"
relay_only ""

layout_at() {  # LEVEL: the window's facts that must not depend on the path
  start_program MACTOOLS_WIN32_LEVEL="$1" -- "$VELTRANE_LEVELS"
  wintool form | tr -d '\r' | grep -E '^(dpi|client|control10[0-2]\.(rect|font))=' | sort
  wintool close-box
  wait_program
}
for dpi in 96 144; do
  set_dpi "$dpi"
  modern=$(layout_at 10)
  grep -qx "dpi=$dpi" <<<"$modern" || fail "not at $dpi dpi: $modern"
  for level in 8.1 7; do
    expect_eq "$(layout_at "$level")" "$modern" "layout at $dpi dpi on the Windows $level path"
  done
done
pass
