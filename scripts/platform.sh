# Sourced: decides which Windows build this machine runs and tests, and
# exports it as MACTOOLS_ARCH (32 or 64) with a one-line reason in
# MACTOOLS_ARCH_REASON.
#   32: the kernel runs 32-bit programs, so 32-bit Wine runs the 32-bit build;
#   64: it runs none (or MACTOOLS_FORCE_WIN64=1 asks for this path), so only
#       64-bit Wine works, and it runs the 64-bit build.

# Asks the kernel: starts a 93-byte static i386 program that only exits
# with code 42. A kernel without 32-bit support refuses to start it.
# MACTOOLS_PROBE_ELF replaces the probe (the platform test uses it).
kernel_runs_32bit() {
  local dir probe code=0
  # Inside the project, since a temporary folder may forbid running programs.
  dir=$(mktemp -d "${MACTOOLS_PROBE_DIR:-$(dirname "${BASH_SOURCE[0]}")/..}/.probe.XXXXXX") || return 1
  probe="$dir/exit42"
  if [ -n "${MACTOOLS_PROBE_ELF:-}" ]; then
    cp "$MACTOOLS_PROBE_ELF" "$probe"
  else
    printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\x31\xdb\xb3\x2a\x31\xc0\x40\xcd\x80' >"$probe"
  fi
  chmod +x "$probe"
  "$probe" 2>/dev/null || code=$?
  rm -rf "$dir"
  [ "$code" -eq 42 ]
}

if [ -z "${MACTOOLS_ARCH:-}" ]; then
  if [ "${MACTOOLS_FORCE_WIN64:-0}" = 1 ]; then
    MACTOOLS_ARCH=64
    MACTOOLS_ARCH_REASON="64-bit path, forced by MACTOOLS_FORCE_WIN64=1: 64-bit Wine runs the 64-bit build"
  elif kernel_runs_32bit; then
    MACTOOLS_ARCH=32
    MACTOOLS_ARCH_REASON="32-bit path: this kernel runs 32-bit programs, so 32-bit Wine runs the 32-bit build"
  else
    MACTOOLS_ARCH=64
    MACTOOLS_ARCH_REASON="64-bit path: this kernel runs no 32-bit programs, so 64-bit Wine runs the 64-bit build"
  fi
  export MACTOOLS_ARCH MACTOOLS_ARCH_REASON
fi
