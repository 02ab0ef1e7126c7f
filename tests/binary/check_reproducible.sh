# The release is reproducible: two builds of the same commit, in clones in
# folders of other names, with another umask, time zone and locale, some
# seconds apart, give the same archive, byte for byte.
#   check_reproducible.sh REPOSITORY [REVISION]    (default: HEAD, the commit)
# Exit code 77 (skipped) when REPOSITORY has no history to clone.
set -euo pipefail
repo=$1 rev=${2:-HEAD}
git -C "$repo" rev-parse --verify -q "$rev^{commit}" >/dev/null || { echo "skipped: no commit $rev in $repo"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL (reproducible release): $*"; exit 1; }

release_in() {  # FOLDER UMASK TZ LOCALE: prints the archive's SHA-256
  local dir="$work/$1"
  (
    umask "$2"
    git clone -q "$repo" "$dir" && git -C "$dir" checkout -q --detach "$rev"
    cd "$dir" && TZ=$3 LC_ALL=$4 bash scripts/release.sh
  ) >"$dir.log" 2>&1 || { cat "$dir.log"; fail "the release build in $1 failed"; }
  local zips=("$dir"/build/release/Veltrane-*.zip)
  sha256sum "${zips[0]}" | cut -d' ' -f1
}

first=$(release_in a 022 UTC C.UTF-8)
sleep 3
second=$(release_in rebuilt-elsewhere 077 Pacific/Kiritimati C)
echo "first:  $first"
echo "second: $second"
[ "$first" = "$second" ] || fail "two builds of $(git -C "$repo" rev-parse --short "$rev") differ"
echo "ok: the same archive from both builds"
