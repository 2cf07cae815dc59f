#!/usr/bin/env bash
# Usage: check_version_block.sh WINDRES BINARY NAME=VALUE...
# Reads the version block of a Windows binary (windres turns its resources back into text) and
# fails unless each NAME holds VALUE: a string of the block ("FileVersion=1.0.0") or one of its
# numeric versions ("FILEVERSION=1, 0, 0, 0").
set -euo pipefail
windres=$1 binary=$2
shift 2
block=$("$windres" -i "$binary" -O rc | sed -n -e 's/^ *\(FILEVERSION\|PRODUCTVERSION\) \(.*\)$/\1=\2/p' \
  -e 's/^ *VALUE "\([^"]*\)", "\(.*\)"$/\1=\2/p')
status=0
for expected in "$@"; do
  if grep -qxF -- "$expected" <<<"$block"; then echo "ok: $expected"; else echo "missing: $expected"; status=1; fi
done
[ $status -eq 0 ] || echo "the version block of $binary holds:"$'\n'"$block"
exit $status
