#!/usr/bin/env bash
# Usage: check_imports.sh OBJDUMP BINARY ALLOWED-DLL...
# Fails when the binary imports a DLL outside the allowed list (compared without case), such as a
# MinGW runtime DLL that no player has.
set -euo pipefail
objdump=$1 binary=$2
shift 2
allowed=" $(echo "$*" | tr '[:upper:]' '[:lower:]') "
imports=$("$objdump" -p "$binary" | sed -n 's/^\s*DLL Name: //p' | tr '[:upper:]' '[:lower:]')
[ -n "$imports" ] || { echo "no import table read from $binary"; exit 1; }
status=0
for dll in $imports; do
  if [[ "$allowed" == *" $dll "* ]]; then echo "ok: $dll"; else echo "not allowed: $dll"; status=1; fi
done
exit $status
