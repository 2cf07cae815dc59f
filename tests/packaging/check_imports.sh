#!/usr/bin/env bash
# Usage: check_imports.sh BINARY ALLOWED-DLL...
# Fails when the binary imports a DLL outside the allowed list (compared without case), such as a
# MinGW runtime DLL that no player has.
set -euo pipefail
binary=$1
shift
allowed=" $(echo "$*" | tr '[:upper:]' '[:lower:]') "
imports=$(i686-w64-mingw32-objdump -p "$binary" | sed -n 's/^\s*DLL Name: //p' | tr '[:upper:]' '[:lower:]')
[ -n "$imports" ] || { echo "no import table read from $binary"; exit 1; }
status=0
for dll in $imports; do
  if [[ "$allowed" == *" $dll "* ]]; then echo "ok: $dll"; else echo "not allowed: $dll"; status=1; fi
done
exit $status
