#!/usr/bin/env bash
# Usage: check_no_time_stamp.sh OBJDUMP BINARY
# Fails when a Windows binary carries a link time stamp, in its file header or in its export
# table: the same sources must give the same bytes whenever they are linked.
set -euo pipefail
objdump=$1 binary=$2
number() { od -An -tu4 -j "$1" -N4 "$binary" | tr -d ' '; }  # the 32-bit number at an offset
header=$(number 60)  # where the PE signature and the file header start
[ "$(od -An -c -j "$header" -N2 "$binary" | tr -d ' ')" = PE ] || { echo "$binary is not a PE file"; exit 1; }
status=0
stamp=$(number $((header + 8)))
if [ "$stamp" -eq 0 ]; then
  echo "ok: no time stamp in the file header"
else
  echo "the file header holds the time stamp $stamp ($(date -u -d "@$stamp"))"
  status=1
fi
exports=$("$objdump" -p "$binary" | sed -n 's/^Time\/Date stamp\s*\(\S*\)$/\1/p')
if [ -z "$exports" ]; then
  echo "ok: no export table"
elif [ "$exports" = 0 ]; then
  echo "ok: no time stamp in the export table"
else
  echo "the export table holds the time stamp 0x$exports"
  status=1
fi
exit $status
