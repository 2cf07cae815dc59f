#!/usr/bin/env bash
# Usage: check_export_table.sh OBJDUMP KELVO_DLL KELVO_DEF
# Reads the built library's export directory against its module-definition file: exactly the
# names listed there at their ordinals, nothing reachable by ordinal alone, and every entry
# pointing at code.
set -euo pipefail
objdump=$1 dll=$2 def=$3
expected=$(sed -n 's/^\s*\(\S*\) @\([0-9]*\)$/\2 \1/p' "$def")
listed=$(grep -c . <<<"$expected")

dump=$("$objdump" -p "$dll")
table() { sed -n "\\%^$1%,/^\$/p" <<<"$dump"; }
base=$(sed -n 's/^Ordinal Base\s*\([0-9]*\)/\1/p' <<<"$dump")
image_base=$((16#$(sed -n 's/^ImageBase\s*\([0-9a-fA-F]*\)/\1/p' <<<"$dump")))
status=0

# "[ n] name": n is the ordinal less the ordinal base.
named=$(table '\[Ordinal/Name Pointer\] Table' \
  | sed -n 's/^\s*\[ *\([0-9]*\)\] \(\S*\)$/\1 \2/p' | while read -r index name; do echo "$((index + base)) $name"; done \
  | sort -n)  # the name table runs in the names' order
if [ "$named" != "$expected" ]; then
  echo "named exports differ from the expected table (expected < > found):"
  diff <(echo "$expected") <(echo "$named") || true
  status=1
fi

# "[ n] +base[ ordinal] rva Export RVA": one line per address-table entry, named or not.
addresses=$(table 'Export Address Table' | sed -n 's/.*+base\[ *\([0-9]*\)\] \([0-9a-fA-F]*\) Export RVA.*/\1 \2/p')
count=$(grep -c . <<<"$addresses" || true)
if [ "$count" != "$listed" ]; then
  echo "the export address table has $count entries, not $listed: something is exported by ordinal alone"
  status=1
fi

# Code sections as "start end" relative addresses.
code=$("$objdump" -h "$dll" | while read -r first second third fourth rest; do
  if [[ "$first" =~ ^[0-9]+$ ]]; then
    start=$((16#$fourth - image_base)) end=$((16#$fourth - image_base + 16#$third))
  elif [[ "$first $second $third $fourth $rest" == *CODE* ]]; then
    echo "$start $end"
  fi
done)
while read -r ordinal rva; do
  address=$((16#$rva))
  in_code=no
  while read -r start end; do
    if ((address >= start && address < end)); then in_code=yes; fi
  done <<<"$code"
  if [ "$in_code" != yes ]; then
    echo "ordinal $ordinal (address $rva) does not point at code: a data export"
    status=1
  fi
done <<<"$addresses"

[ $status -eq 0 ] && echo "$listed named code exports at their listed ordinals"
exit $status
