# A program carries its icon (five images in one group), the project's
# version and its manifest, which names its own architecture and exactly
# Windows 7, 8, 8.1 and 10/11, and declares DPI awareness both the old and
# the new way.
#   check_resources.sh PROGRAM.exe VERSION ARCH     (ARCH: x86 or amd64)
set -euo pipefail
program=$1 version=$2 arch=$3
fail() { echo "FAIL ($(basename "$program")): $*"; exit 1; }

listing=$(wrestool -l "$program")
[ "$(grep -c -- '--type=3 ' <<<"$listing")" -eq 5 ] || fail "not five icon images: $listing"
grep -q -- '--type=14 ' <<<"$listing" || fail "no icon group"
grep -q -- '--type=16 ' <<<"$listing" || fail "no version"
strings=$(wrestool -x --raw --type=16 "$program" | tr -d '\0')
grep -qF "ProductVersion$version" <<<"$strings" || fail "product version is not $version"

manifest=$(wrestool -x --raw --type=24 "$program")
[ -n "$manifest" ] || fail "no manifest"
identity=$(grep -o '<assemblyIdentity type="win32" name="MacTools.Program"[^>]*>' <<<"$manifest")
grep -qF "processorArchitecture=\"$arch\"" <<<"$identity" || fail "the manifest's own architecture is not $arch: $identity"
supported=$(grep -o 'supportedOS Id="{[^}]*}"' <<<"$manifest" | sort | tr '\n' ' ')
expected=$(printf 'supportedOS Id="{%s}"\n' \
  35138b9a-5d96-4fbd-8e2d-a2440225f93a 4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 \
  1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a | sort | tr '\n' ' ')
[ "$supported" = "$expected" ] || fail "supported systems: $supported"
grep -q '<dpiAware[^>]*>true/pm</dpiAware>' <<<"$manifest" || fail "no dpiAware"
grep -q '<dpiAwareness[^>]*>PerMonitorV2, PerMonitor</dpiAwareness>' <<<"$manifest" || fail "no dpiAwareness"
echo "ok: resources of $(basename "$program")"
