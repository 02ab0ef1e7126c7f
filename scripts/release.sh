#!/usr/bin/env bash
# Builds the 32-bit programs and packs the release: build/release/Veltrane-<version>.zip
# with Veltrane.exe, Tessilo.exe, README.txt (a guide for Windows users) and
# SHA256SUMS.txt; prints the archive's own SHA-256 and keeps it beside it.
# The same commit gives the same archive, byte for byte, on the same Debian
# release: entries carry the last commit's time.
#
#   bash scripts/release.sh                        the unsigned release
#   bash scripts/release.sh --sign CERT.pfx [--timestamp URL] <PASSWORD
#       the maintainer's: signs both programs (SHA-256 Authenticode, the
#       program's name as the description; with --timestamp, an RFC 3161
#       time stamp from URL), packs the signed programs, and the detached
#       signatures (DER) in build/release/Veltrane-<version>-signatures.zip
#   bash scripts/release.sh --attach SIGNATURES.zip
#       anyone's: builds the unsigned programs from this commit and attaches
#       the published signatures, which gives the signed release byte for
#       byte; fails, naming the program, when a signature is not for it
set -euo pipefail
cd "$(dirname "$0")/.."
usage() { echo "usage: bash scripts/release.sh [--sign CERT.pfx [--timestamp URL] | --attach SIGNATURES.zip]" >&2; exit 64; }
sign= attach= timestamp=
while [ $# -gt 0 ]; do
  case $1 in
    --sign) [ $# -ge 2 ] || usage; sign=$(realpath "$2"); shift 2 ;;
    --attach) [ $# -ge 2 ] || usage; attach=$(realpath "$2"); shift 2 ;;
    --timestamp) [ $# -ge 2 ] || usage; timestamp=$2; shift 2 ;;
    *) usage ;;
  esac
done
{ [ -n "$sign" ] && [ -n "$attach" ]; } && usage
{ [ -n "$timestamp" ] && [ -z "$sign" ]; } && usage

# Kept only for this run, readable by this user alone.
private=$(mktemp -d)
trap 'rm -rf "$private"' EXIT
if [ -n "$sign" ]; then
  [ -f "$sign" ] || { echo "release: no certificate $sign" >&2; exit 1; }
  # The password first, before the set-up or the build can read standard
  # input; it reaches osslsigncode in a file, never on a command line.
  password=
  if [ -t 0 ]; then read -rs -p "Password of $(basename "$sign"): " password && echo >&2
  else IFS= read -r password || [ -n "$password" ] || true; fi
  (umask 077 && printf '%s' "$password" >"$private/password")
  unset password
fi

bash scripts/setup.sh >/dev/null </dev/null
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export SOURCE_DATE_EPOCH
cmake --preset mingw >/dev/null </dev/null
cmake --build --preset mingw --target release >/dev/null </dev/null
zip=$(sed -n 's/^MACTOOLS_RELEASE_ZIP:INTERNAL=//p' build/mingw/CMakeCache.txt)
mkdir -p build/release
if [ -z "$sign$attach" ]; then
  cp "$zip" "$zip.sha256" build/release/
  cat "$zip.sha256"
  echo "release: build/release/$(basename "$zip")"
  exit 0
fi

apps=build/mingw/apps
name=$(basename "$zip" .zip)
signed="$private/signed" signatures="$private/signatures"
mkdir "$signed" "$signatures"
# The digest a program's signature was made for, and the digest of the
# program it is attached to: the same when the signature is for it.
digests_match() {  # SIGNED.exe
  local said current calculated
  said=$(osslsigncode verify -in "$1" 2>&1 || true)
  current=$(sed -n 's/^Current message digest *: *\([0-9A-Fa-f]*\).*/\1/p' <<<"$said" | head -n1)
  calculated=$(sed -n 's/^Calculated message digest *: *\([0-9A-Fa-f]*\).*/\1/p' <<<"$said" | head -n1)
  [ -n "$current" ] && [ "$current" = "$calculated" ]
}

if [ -n "$sign" ]; then
  for program in Veltrane Tessilo; do
    osslsigncode sign -pkcs12 "$sign" -readpass "$private/password" -h sha256 -n "$program" \
      ${timestamp:+-ts "$timestamp"} -in "$apps/$program.exe" -out "$signed/$program.exe" >"$private/sign.log" 2>&1 ||
      { cat "$private/sign.log" >&2; echo "release: $program.exe could not be signed" >&2; exit 1; }
    osslsigncode extract-signature -in "$signed/$program.exe" -out "$signatures/$program.exe.sig" >/dev/null
  done
  bash apps/release/pack.sh "build/release/$name-signatures.zip" "$signatures/Veltrane.exe.sig" \
    "$signatures/Tessilo.exe.sig" >/dev/null
  echo "signatures: build/release/$name-signatures.zip"
else
  unpacked="$private/unpacked"
  mkdir "$unpacked"
  (cd "$unpacked" && cmake -E tar xf "$attach")
  folder=$(find "$unpacked" -mindepth 1 -maxdepth 1 -type d | head -n1)
  [ -n "$folder" ] && (cd "$folder" && sha256sum --quiet -c SHA256SUMS.txt) ||
    { echo "release: $attach is not a signatures archive whose sums hold" >&2; exit 1; }
  for program in Veltrane Tessilo; do
    [ -f "$folder/$program.exe.sig" ] || { echo "release: no signature of $program.exe in $attach" >&2; exit 1; }
    # attach-signature also checks the signer's chain against this
    # machine's authorities, which need not know the maintainer's: only
    # the digest decides here.
    osslsigncode attach-signature -sigin "$folder/$program.exe.sig" -in "$apps/$program.exe" \
      -out "$signed/$program.exe" >/dev/null 2>&1 || true
    [ -f "$signed/$program.exe" ] && digests_match "$signed/$program.exe" || {
      echo "release: the signature of $program.exe is not for the $program.exe built from this commit" >&2
      exit 1
    }
  done
fi
rm -f "build/release/$name.zip"
bash apps/release/pack.sh "build/release/$name.zip" "$signed/Veltrane.exe" "$signed/Tessilo.exe" "$apps/README.txt"
echo "release: build/release/$name.zip"
