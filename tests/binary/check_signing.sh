# A signed release that anyone can rebuild byte for byte. With a throwaway
# certificate authority and code-signing certificate, made here and never
# kept: the maintainer's signed release verifies against that authority;
# the signatures attached to the programs built in a second clean clone
# give the same archive; a program with one byte of its code changed fails
# verification; and a signed program without its signature is the unsigned
# program of the same commit.
#   check_signing.sh REPOSITORY PE_INFO [REVISION]    (default: HEAD)
# Exit code 77 (skipped) when REPOSITORY has no history to clone.
set -euo pipefail
repo=$1 pe_info=$2 rev=${3:-HEAD}
git -C "$repo" rev-parse --verify -q "$rev^{commit}" >/dev/null || { echo "skipped: no commit $rev in $repo"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL (signed release): $*"; exit 1; }
clone() {  # FOLDER
  git clone -q "$repo" "$work/$1" && git -C "$work/$1" checkout -q --detach "$rev"
}

# The authority and the signer, as a maintainer's would be: the signer's
# certificate for code signing only, in a PKCS #12 file with a password.
keys="$work/keys"
mkdir "$keys"
cat >"$keys/x509.cnf" <<'EOF'
[req]
distinguished_name = dn
prompt = no
[dn]
CN = Throwaway Test Authority
[authority]
basicConstraints = critical, CA:true
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[signer]
basicConstraints = critical, CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
EOF
{
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$keys/ca.key" -out "$keys/ca.pem" -days 2 \
    -config "$keys/x509.cnf" -extensions authority
  openssl req -newkey rsa:2048 -nodes -keyout "$keys/signer.key" -out "$keys/signer.csr" -subj "/CN=Throwaway Signer"
  openssl x509 -req -in "$keys/signer.csr" -CA "$keys/ca.pem" -CAkey "$keys/ca.key" -CAcreateserial \
    -out "$keys/signer.pem" -days 2 -extfile "$keys/x509.cnf" -extensions signer
  openssl pkcs12 -export -inkey "$keys/signer.key" -in "$keys/signer.pem" -certfile "$keys/ca.pem" \
    -out "$keys/signer.pfx" -passout pass:not-on-any-command-line
} >"$keys/openssl.log" 2>&1 || { cat "$keys/openssl.log"; fail "the throwaway certificates could not be made"; }

# The maintainer: the unsigned release, then the signed one, of one commit.
clone maintainer
(cd "$work/maintainer" && bash scripts/release.sh) >"$work/unsigned.log" 2>&1 ||
  { cat "$work/unsigned.log"; fail "the unsigned release failed"; }
version=$(basename "$work"/maintainer/build/release/Veltrane-*.zip .zip)
mkdir "$work/unsigned" && (cd "$work/unsigned" && cmake -E tar xf "$work/maintainer/build/release/$version.zip")
started=$(date +%s%N)
(cd "$work/maintainer" && printf 'not-on-any-command-line\n' | bash scripts/release.sh --sign "$keys/signer.pfx") \
  >"$work/sign.log" 2>&1 || { cat "$work/sign.log"; fail "the signed release failed"; }
echo "signed in $((($(date +%s%N) - started) / 1000000)) ms, build included"
signed_zip="$work/maintainer/build/release/$version.zip"
signatures="$work/maintainer/build/release/$version-signatures.zip"
[ -f "$signatures" ] || fail "no $(basename "$signatures")"
mkdir "$work/signed" && (cd "$work/signed" && cmake -E tar xf "$signed_zip")
(cd "$work/signed/$version" && sha256sum --quiet -c SHA256SUMS.txt) || fail "the sums are not the signed programs'"
echo "archives: $(stat -c %s "$work/maintainer/build/release/$version.zip") bytes signed," \
  "$(stat -c %s "$signatures") bytes of signatures"

for program in Veltrane Tessilo; do
  exe="$work/signed/$version/$program.exe"
  osslsigncode verify -CAfile "$keys/ca.pem" -in "$exe" >"$work/verify.log" 2>&1 ||
    { cat "$work/verify.log"; fail "$program.exe does not verify against the authority"; }
  grep -q "Text description: $program" "$work/verify.log" || fail "$program.exe's signature does not describe it"
  # Without its signature, the program the unsigned release holds.
  osslsigncode remove-signature -in "$exe" -out "$work/$program.stripped.exe" >/dev/null 2>&1 ||
    fail "the signature of $program.exe could not be removed"
  cmp -s "$work/$program.stripped.exe" "$work/unsigned/$version/$program.exe" ||
    fail "$program.exe without its signature is not the unsigned release's"
done

# One byte changed inside the code: the signature no longer holds.
exe="$work/signed/$version/Veltrane.exe"
IFS=, read -r offset size < <("$pe_info" headers "$exe" | sed -n 's/^section\.\.text=//p')
[ -n "$offset" ] && [ "$size" -gt 0 ] || fail "no code section in Veltrane.exe"
cp "$exe" "$work/tampered.exe"
at=$((offset + size / 2))
byte=$(od -An -tu1 -j "$at" -N1 "$exe" | tr -d ' ')
printf "$(printf '\\%03o' $(((byte + 1) % 256)))" | dd of="$work/tampered.exe" bs=1 seek="$at" conv=notrunc 2>/dev/null
cmp -s "$exe" "$work/tampered.exe" && fail "the byte did not change"
osslsigncode verify -CAfile "$keys/ca.pem" -in "$work/tampered.exe" >"$work/tampered.log" 2>&1 &&
  { cat "$work/tampered.log"; fail "a program with a byte of its code changed still verifies"; }

# Anyone: the published signatures attached to the programs built in a
# second clean clone give the signed archive, byte for byte.
clone rebuilder
(cd "$work/rebuilder" && bash scripts/release.sh --attach "$signatures") >"$work/attach.log" 2>&1 ||
  { cat "$work/attach.log"; fail "attaching the signatures failed"; }
cmp -s "$signed_zip" "$work/rebuilder/build/release/$version.zip" ||
  fail "the rebuilt and attached archive is not the signed release"
# A signature that is not the program's fails, naming the program.
mkdir -p "$work/swapped/$version-signatures"
(cd "$work/swapped" && cmake -E tar xf "$signatures" && cd "$version-signatures" &&
   mv Veltrane.exe.sig t && mv Tessilo.exe.sig Veltrane.exe.sig && mv t Tessilo.exe.sig &&
   for f in Tessilo.exe.sig Veltrane.exe.sig; do printf '%s *%s\r\n' "$(sha256sum <"$f" | cut -d' ' -f1)" "$f"; done >SHA256SUMS.txt &&
   cd .. && zip -q -r ../swapped.zip "$version-signatures")
if (cd "$work/rebuilder" && bash scripts/release.sh --attach "$work/swapped.zip") >"$work/swapped.log" 2>&1; then
  fail "signatures swapped between the programs were attached"
fi
grep -q 'Veltrane.exe' "$work/swapped.log" || { cat "$work/swapped.log"; fail "the failure does not name the program"; }
echo "ok: signed, verified, tampering caught, rebuilt and attached to the same archive"
