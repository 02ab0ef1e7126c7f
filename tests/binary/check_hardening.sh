# A program is hardened as a Windows tool that may run from a Downloads
# folder or on a terminal server should be: ASLR and DEP (high-entropy ASLR
# on 64-bit), terminal-server aware, Windows 7 (6.1) as the oldest system in
# the header, stack canaries and fortified calls linked in, no time stamp,
# and no build folder inside.
#   check_hardening.sh PE_INFO PROGRAM.exe SOURCE_DIR BUILD_DIR
set -euo pipefail
pe_info=$1 program=$2 source_dir=$3 build_dir=$4
fail() { echo "FAIL ($(basename "$program")): $*"; exit 1; }

headers=$("$pe_info" headers "$program")
field() { sed -n "s/^$1=//p" <<<"$headers"; }
flags=$(( $(field dll_characteristics) ))
want=$(( 0x0040 | 0x0100 | 0x8000 ))  # dynamic base, NX compatible, terminal-server aware
[ "$(field machine)" = 0x8664 ] && want=$(( want | 0x0020 ))  # high-entropy ASLR
[ $(( flags & want )) -eq "$want" ] || fail "DllCharacteristics $(field dll_characteristics), want all of $(printf '0x%04x' "$want")"
[ "$(field os_version)" = 6.1 ] || fail "OS version $(field os_version), not 6.1"
[ "$(field subsystem_version)" = 6.1 ] || fail "subsystem version $(field subsystem_version), not 6.1"
[ "$(field timestamp)" = 0 ] || fail "time stamp $(field timestamp), not 0"
# The messages of the checks that stack protection and fortified calls link in.
grep -qa 'stack smashing detected' "$program" || fail "no stack protection linked in"
grep -qa 'buffer overflow detected' "$program" || fail "no fortified calls linked in"
for dir in "$source_dir" "$build_dir"; do
  ! grep -qaF "$dir" "$program" || fail "holds the build path $dir"
done
echo "ok: $(basename "$program") DllCharacteristics $(field dll_characteristics), OS and subsystem 6.1"
