#!/usr/bin/env bash
# Usage: check_size.sh BINARY BUDGET-BYTES
# Fails when the binary weighs more than its budget; prints both figures either way.
set -euo pipefail
binary=$1 budget=$2
size=$(stat -c %s "$binary")
if [ "$size" -le "$budget" ]; then
  echo "ok: $(basename "$binary") $size bytes, budget $budget bytes"
else
  echo "too large: $(basename "$binary") $size bytes, budget $budget bytes ($((size - budget)) over)"
  exit 1
fi
