#!/usr/bin/env bash
# Makes the release of the shipped 32-bit binaries: builds them (windows preset) and packs them
# with cpack into build/windows/release/<project>-<version>-win32.zip, to be unpacked into the
# game's folder beside vorlan.exe: Starter.exe, kelvo.dll, SHA256SUMS over both and RELEASE.txt
# (the project's version, the commit, whether they are signed). Given a code-signing certificate
# and its key (PEM files), both binaries are signed (Authenticode) before they are checksummed.
# Prints the zip's listing, its SHA256SUMS and RELEASE.txt, and the zip's own SHA-256 (also in
# the .sha256 file beside it).
#   tools/release.sh [--sign CERTIFICATE KEY]
set -euo pipefail
cd "$(dirname "$0")/.."
usage() { echo "usage: $0 [--sign CERTIFICATE KEY]" >&2; exit 2; }
signing=()
if [ $# -gt 0 ]; then
  [ $# -eq 3 ] && [ "$1" = --sign ] || usage
  for file in "$2" "$3"; do [ -f "$file" ] || { echo "release: no file $file" >&2; exit 2; }; done
  signing=(-D "CPACK_RELEASE_CERTIFICATE=$(realpath "$2")" -D "CPACK_RELEASE_KEY=$(realpath "$3")")
fi

tools/bootstrap.sh
build=build/windows
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target $(cut -d' ' -f1 $build/shipped_binaries.txt) release_facts >/dev/null
release=$build/release
rm -rf "$release"
if ! output=$(cpack --config $build/CPackConfig.cmake -B "$release" "${signing[@]}" 2>&1); then
  echo "$output"
  echo "release: cpack failed; no release was made"
  exit 1
fi
zip=$(sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' <<<"$output")
[ -f "$zip" ] || { echo "$output"; echo "release: cpack made no zip"; exit 1; }

echo "== $zip"
unzip -l "$zip"
echo "== SHA256SUMS"
unzip -p "$zip" SHA256SUMS
echo "== RELEASE.txt"
unzip -p "$zip" RELEASE.txt
echo "== the zip's SHA-256 ($zip.sha256)"
cat "$zip.sha256"
if unzip -p "$zip" RELEASE.txt | grep -q '^built with changes not committed$'; then
  echo "release: the sources had changes not committed; a release to ship is made from a commit"
fi
