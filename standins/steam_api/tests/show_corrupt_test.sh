#!/usr/bin/env bash
# Usage: show_corrupt_test.sh STOREFRONT_TOOL
# Showing an unusable state file reports it and ends with 1, and the file stays where it is,
# unchanged and not set aside: only a storefront that goes on with defaults renames it.
set -uo pipefail
tools=$(cd "$(dirname "$0")/../../../tools" && pwd)
tool=$(realpath "$1")
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder" || exit 1
printf '{"stats": ' >storefront_state.json
cp storefront_state.json original.json
case "$tool" in
  *.exe) "$tools/wine-run" "$tool" show storefront_state.json >shown.txt 2>&1 ;;
  *) "$tool" show storefront_state.json >shown.txt 2>&1 ;;
esac
status=$?
cat shown.txt
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
[ $status -eq 1 ] || fail "the tool ended with $status, not 1"
grep -qF 'is unusable (not valid JSON' shown.txt || fail "the tool did not report the file as unusable"
cmp -s original.json storefront_state.json || fail "the file was changed or moved"
[ "$(ls | sort | tr '\n' ' ')" = "original.json shown.txt storefront_state.json " ] \
  || fail "files appeared beside it: $(ls)"
[ $failures -eq 0 ] && echo "the unusable file was reported and left in place"
exit $((failures > 0))
