#!/usr/bin/env bash
# Usage: check_export_table.sh OBJDUMP KELVO_DLL
# Reads the built library's export directory: exactly the 22 names, ordinals 1 to 22 in byte-wise
# alphabetical order, no entry reachable by ordinal alone, and every entry pointing at code.
set -euo pipefail
objdump=$1 dll=$2
expected="1 A6_DLLAPI
2 auflip
3 say_hello
4 start_steam
5 steam_add_stat
6 steam_callback
7 steam_country
8 steam_gameid
9 steam_get_ach
10 steam_get_stat
11 steam_init
12 steam_record
13 steam_record_abre
14 steam_record_abre_level
15 steam_record_add
16 steam_reset
17 steam_stats
18 steam_stop
19 steam_store
20 steam_store_stat
21 steam_time
22 steam_user"

dump=$("$objdump" -p "$dll")
table() { sed -n "\\%^$1%,/^\$/p" <<<"$dump"; }
base=$(sed -n 's/^Ordinal Base\s*\([0-9]*\)/\1/p' <<<"$dump")
image_base=$((16#$(sed -n 's/^ImageBase\s*\([0-9a-fA-F]*\)/\1/p' <<<"$dump")))
status=0

# "[ n] name": n is the ordinal less the ordinal base.
named=$(table '\[Ordinal/Name Pointer\] Table' \
  | sed -n 's/^\s*\[ *\([0-9]*\)\] \(\S*\)$/\1 \2/p' | while read -r index name; do echo "$((index + base)) $name"; done)
if [ "$named" != "$expected" ]; then
  echo "named exports differ from the expected table (expected < > found):"
  diff <(echo "$expected") <(echo "$named") || true
  status=1
fi

# "[ n] +base[ ordinal] rva Export RVA": one line per address-table entry, named or not.
addresses=$(table 'Export Address Table' | sed -n 's/.*+base\[ *\([0-9]*\)\] \([0-9a-fA-F]*\) Export RVA.*/\1 \2/p')
count=$(grep -c . <<<"$addresses" || true)
if [ "$count" != 22 ]; then
  echo "the export address table has $count entries, not 22: something is exported by ordinal alone"
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

[ $status -eq 0 ] && echo "22 named code exports, ordinals 1 to 22 in order"
exit $status
