#!/usr/bin/env bash
# Runs the tests of the shipped 32-bit Windows binaries (an already built BUILD-DIR, default
# build/windows) with 32-bit Wine inside the emulated machine (tools/in-emulated-machine.sh), for
# hosts that cannot run 32-bit code. The ctest log, any screenshots and the fault campaigns'
# tables come back to build/shipped-lane/. Prints ctest's output, its summary among it; fails when
# a test failed or ctest did not finish.
#   tools/shipped-lane.sh [BUILD-DIR [CTEST-ARGUMENTS...]]
# The fault campaigns run their fixed subset there (FAULT_CAMPAIGN_SUBSET=1, the default; 0 runs
# them whole): everything under emulation is many times slower.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build/windows}" && pwd)
shift $(($# > 0 ? 1 : 0))
share=$PWD/build/shipped-lane
# A test may take this long in the machine unless it sets its own timeout: everything under
# emulation is several times slower than on the host.
test_timeout=1500

# In the machine: ctest over the build folder, under one Wine session for the tests' prefix (the
# build folder's own, as in the windows test preset), its log, screenshots and campaign tables left
# in the shared folder.
job='export FAULT_CAMPAIGN_SUBSET=$1; build=$2; shift 2
export WINEARCH=win32 WINEPREFIX=$build/wineprefix
tools/wine-session.sh start "$WINEPREFIX" || echo "shipped lane: the Wine session did not start"
ctest --test-dir "$build" "$@" 2>&1 | tee "$SHARE/ctest.log"
status=${PIPESTATUS[0]}
tools/wine-session.sh stop "$WINEPREFIX"
cp "$build/Testing/Temporary/LastTest.log" "$SHARE/" 2>/dev/null
(cd "$build" && find . -path "*screenshots*" -type f -exec cp --parents {} "$SHARE/" \;)
for table in "$build"/tests/faults/*-campaign/table.txt; do
  [ -f "$table" ] && cp "$table" "$SHARE/$(basename "$(dirname "$table")").txt"
done
exit "$status"'
status=0
tools/in-emulated-machine.sh "$share" "$build" -- bash -c "$job" ctest-job "${FAULT_CAMPAIGN_SUBSET:-1}" "$build" \
  -j 2 --output-on-failure --timeout "$test_timeout" "$@" || status=$?
echo "shipped lane: ctest log, screenshots and campaign tables in $share"
exit $status
