#!/usr/bin/env bash
# Sets the machine up, builds the presets and runs every test: native (-m32, sanitizers), Windows
# (MinGW binaries under Wine), and each fuzzer for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/bootstrap.sh
for preset in native windows fuzz; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
done
status=0
for preset in native windows fuzz; do
  echo "== ctest --preset $preset"
  ctest --preset "$preset" || status=1
done
exit $status
