# The set-up's choice of path matches what the kernel can run: the path
# detected is the one whose Wine starts, and a program the kernel cannot
# run makes the detection pick the 64-bit path.
set -euo pipefail
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
fail() { echo "FAIL (platform detection): $*" >&2; exit 1; }

detect() { env -u MACTOOLS_ARCH -u MACTOOLS_FORCE_WIN64 "$@" bash -c "source '$scripts/platform.sh'; echo \$MACTOOLS_ARCH"; }

detected=$(detect)
echo "detected: $detected-bit path"
if [ "$detected" = 32 ] && [ -n "${MACTOOLS_FORCE_WIN64:-}" ]; then
  :  # the run was forced onto the 64-bit path, so the set-up left 32-bit Wine out
elif [ "$detected" = 32 ]; then
  [ -x /usr/lib/wine/wine ] || fail "32-bit path picked, but 32-bit Wine is not installed"
  /usr/lib/wine/wine --version >/dev/null 2>&1 || fail "32-bit path picked, but 32-bit Wine does not start"
else
  [ "$detected" = 64 ] || fail "no path picked: [$detected]"
  if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    fail "64-bit path picked, but this kernel runs 32-bit Wine"
  fi
fi
/usr/lib/wine/wine64 --version >/dev/null 2>&1 || fail "64-bit Wine does not start"

# The probe with its machine type changed (0xbeef): no kernel runs it.
unrunnable=$(mktemp)
trap 'rm -f "$unrunnable"' EXIT
printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\xef\xbe\x01\x00\x00\x00' >"$unrunnable"
head -c 200 /dev/zero >>"$unrunnable"
expect=$(MACTOOLS_PROBE_ELF="$unrunnable" detect)
[ "$expect" = 64 ] || fail "a program the kernel cannot run gave the $expect-bit path"

[ "$(detect MACTOOLS_FORCE_WIN64=1)" = 64 ] || fail "the switch does not force the 64-bit path"
echo "ok: platform detection"
