#!/usr/bin/env bash
# Usage: make_test_release.sh BUILD-DIR OUTPUT-DIR [--sign]
# Makes the release from the build as tools/release.sh does (cpack over the built files) into
# OUTPUT-DIR/package and unpacks it into OUTPUT-DIR/unpacked for the checks that follow.
# Unsigned, the unpacked binaries must be the built ones, byte for byte. With --sign, the release
# is signed with a throwaway certificate made on the spot (openssl: a root and a code-signing
# certificate issued by it, both carried in the signature as a real chain is): each unpacked
# binary's signature must verify against that root (osslsigncode verify), and without its
# signature the binary must again be the built one, so a rebuild can check a signed release.
set -euo pipefail
build=$(cd "$1" && pwd) out=$2 sign=${3:-}
rm -rf "$out"
mkdir -p "$out/unpacked"
out=$(cd "$out" && pwd)
status=0

signing=()
if [ "$sign" = --sign ]; then
  keys=$out/keys
  mkdir "$keys"
  if ! {
    openssl req -x509 -newkey rsa:3072 -nodes -keyout "$keys/root-key.pem" -out "$keys/root.pem" -days 2 \
      -subj "/CN=Throwaway test root" -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign &&
      openssl req -new -newkey rsa:3072 -nodes -keyout "$keys/key.pem" -out "$keys/signer.csr" \
        -subj "/CN=Throwaway release signer" &&
      openssl x509 -req -in "$keys/signer.csr" -CA "$keys/root.pem" -CAkey "$keys/root-key.pem" -days 1 \
        -extfile <(printf 'extendedKeyUsage=codeSigning\nkeyUsage=critical,digitalSignature\n') -out "$keys/signer.pem"
  } >"$keys/openssl.log" 2>&1; then
    cat "$keys/openssl.log"
    echo "FAIL: no throwaway certificate"
    exit 1
  fi
  cat "$keys/signer.pem" "$keys/root.pem" >"$keys/chain.pem"
  signing=(-D "CPACK_RELEASE_CERTIFICATE=$keys/chain.pem" -D "CPACK_RELEASE_KEY=$keys/key.pem")
fi

cpack --config "$build/CPackConfig.cmake" -B "$out/package" "${signing[@]}"
(cd "$out/unpacked" && cmake -E tar xf "$out"/package/*.zip)
cat "$out/unpacked/RELEASE.txt"
if [ "$sign" = --sign ]; then says='^signed \(Authenticode\): '; else says='^not signed$'; fi
grep -Eq "$says" "$out/unpacked/RELEASE.txt" || { echo "FAIL: RELEASE.txt does not say it is ${sign:+not }unsigned"; status=1; }

while read -r target built; do
  file=$out/unpacked/$(basename "$built")
  if [ "$sign" = --sign ]; then
    if verdict=$(osslsigncode verify -CAfile "$keys/root.pem" -in "$file" 2>&1) &&
      grep -qx 'Signature verification: ok' <<<"$verdict"; then
      echo "$target: $(grep -m1 'Subject:' <<<"$verdict" | xargs), signature verified"
    else
      echo "$verdict"
      echo "FAIL: the signature of $(basename "$file") does not verify"
      status=1
    fi
    osslsigncode remove-signature -in "$file" -out "$out/unsigned-$(basename "$file")" >/dev/null
    if cmp "$built" "$out/unsigned-$(basename "$file")"; then
      echo "$target: without its signature, the built file"
    else
      status=1
    fi
  elif cmp "$built" "$file"; then
    echo "$target: the release holds the built file"
  else
    status=1
  fi
done <"$build/shipped_binaries.txt"
exit $status
