#!/usr/bin/env bash
# Runs both fault campaigns whole on one build and prints their tables: a line per injection point
# and way of failing, what the product did and whether that keeps its rules, then the totals and
# "N injected, D defects". Fails when a campaign found a defect.
#   tools/fault-campaign.sh [windows|mirror]   (default windows: the shipped 32-bit binaries)
# The shipped binaries run under 32-bit Wine on this machine where its kernel runs 32-bit
# programs, else in the emulated machine, whole there too (tools/test.sh runs a subset there).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-windows}
case "$preset" in
  windows) arch=win32 ;;
  mirror) arch=win64 ;;
  *) echo "fault-campaign.sh: the preset must be windows or mirror, not \"$preset\"" >&2; exit 2 ;;
esac
tools/bootstrap.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)" >/dev/null
status=0
if [ "$preset" = windows ] && ! tools/runs-32bit-code.sh; then
  FAULT_CAMPAIGN_SUBSET=0 tools/shipped-lane.sh build/windows -R '^faults\.' >/dev/null || status=$?
  tables=(build/shipped-lane/*-campaign.txt)
else
  prefix=$PWD/build/$preset/wineprefix
  WINEARCH=$arch tools/wine-session.sh start "$prefix"
  FAULT_CAMPAIGN_SUBSET=0 ctest --preset "$preset" -R '^faults\.' >/dev/null || status=$?
  WINEARCH=$arch tools/wine-session.sh stop "$prefix"
  tables=("build/$preset"/tests/faults/*-campaign/table.txt)
fi
for table in "${tables[@]}"; do
  echo "== $table"
  cat "$table" 2>/dev/null || echo "(no table: the campaign did not run)"
done
exit $status
