# The release archive holds the two programs, the guide for Windows users
# (with Windows line ends) and sums that match the programs.
#   check_release.sh BUILD_DIR RELEASE.zip
set -euo pipefail
build=$1 zip=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL (release): $*"; exit 1; }

rm -f "$zip"
cmake --build "$build" --target release >/dev/null
zips=("$zip")
[ -f "${zips[0]}" ] || fail "no $(basename "$zip")"
mkdir "$work/x" && (cd "$work/x" && cmake -E tar xf "${zips[0]}")
folder=$(basename "${zips[0]}" .zip)
expect="$folder/README.txt $folder/SHA256SUMS.txt $folder/Tessilo.exe $folder/Veltrane.exe"
[ "$(cd "$work/x" && find . -type f | sed 's|^\./||' | sort | tr '\n' ' ')" = "$expect " ] ||
  fail "contents: $(cd "$work/x" && find . -type f)"
(cd "$work/x/$folder" && sha256sum --quiet -c SHA256SUMS.txt) || fail "sums do not match"
# No test switch in what is shipped: the programs read no MACTOOLS_ variable.
for program in Tessilo Veltrane; do
  if strings -a "$work/x/$folder/$program.exe" | grep -q MACTOOLS_ ||
     strings -a -el "$work/x/$folder/$program.exe" | grep -q MACTOOLS_; then
    fail "$program.exe holds MACTOOLS_"
  fi
done
guide="$work/x/$folder/README.txt"
[ "$(grep -c $'\r$' "$guide")" -eq "$(wc -l <"$guide")" ] || fail "the guide has lines without CR LF"
grep -qF 'Tessilo.exe /dhcp^<c:\temp\list.txt 00-1a' "$guide" || fail "no command prompt example"
grep -qF "& .\\Tessilo.exe '/dhcp<c:\\temp\\list.txt' 00-1a" "$guide" || fail "no PowerShell example"
echo "ok: $(basename "${zips[0]}")"
