#!/usr/bin/env bash
# Packs the release archive from the files given, the same bytes whoever
# packs it, wherever and whenever:
#   pack.sh OUT.zip FILE...
# The archive holds one folder named after it with the files, sorted, and
# SHA256SUMS.txt (CR LF lines, "sum *name"). Every entry carries the time of
# the last commit (SOURCE_DATE_EPOCH when set) in UTC and mode 644; no
# owner, no extra time fields. Prints the archive's SHA-256 and keeps it in
# OUT.zip.sha256.
set -euo pipefail
out=$1
shift
name=$(basename "$out" .zip)
mkdir -p "$(dirname "$out")"
dir=$(cd "$(dirname "$out")" && pwd)
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  # A tree without its history packs with zip's earliest time, 1980-01-01.
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) || SOURCE_DATE_EPOCH=315532800
fi

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
cp "$@" "$stage/$name/"
(cd "$stage/$name" && for f in "$@"; do
   f=$(basename "$f"); printf '%s *%s\r\n' "$(sha256sum <"$f" | cut -d' ' -f1)" "$f"
 done) >"$stage/$name/SHA256SUMS.txt"
chmod 644 "$stage/$name"/*
touch --no-dereference --date="@$SOURCE_DATE_EPOCH" "$stage/$name"/*
rm -f "$dir/$name.zip"
# -X: no owner or extra time fields; -D: no folder entries; UTC: zip keeps
# local times.
(cd "$stage" && find "$name" -type f | LC_ALL=C sort | TZ=UTC0 zip -q -X -D -9 -@ "$dir/$name.zip")
(cd "$dir" && sha256sum "$name.zip" | tee "$name.zip.sha256")
