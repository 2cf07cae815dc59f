#!/usr/bin/env bash
# Runs the tests of the shipped 32-bit Windows binaries (an already built BUILD-DIR, default
# build/windows) with 32-bit Wine inside the emulated machine (tools/in-emulated-machine.sh), for
# hosts that cannot run 32-bit code. The ctest log and any screenshots come back to
# build/shipped-lane/. Prints ctest's output, its summary among it; fails when a test failed or
# ctest did not finish.
#   tools/shipped-lane.sh [BUILD-DIR [CTEST-ARGUMENTS...]]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build/windows}" && pwd)
shift $(($# > 0 ? 1 : 0))
share=$PWD/build/shipped-lane
# A test may take this long in the machine unless it sets its own timeout: everything under
# emulation is several times slower than on the host.
test_timeout=1500

# In the machine: ctest over the build folder, under one Wine session for the tests' prefix (the
# build folder's own, as in the windows test preset), its log and screenshots left in the shared
# folder.
job='build=$1; shift
export WINEARCH=win32 WINEPREFIX=$build/wineprefix
tools/wine-session.sh start "$WINEPREFIX" || echo "shipped lane: the Wine session did not start"
ctest --test-dir "$build" "$@" 2>&1 | tee "$SHARE/ctest.log"
status=${PIPESTATUS[0]}
tools/wine-session.sh stop "$WINEPREFIX"
cp "$build/Testing/Temporary/LastTest.log" "$SHARE/" 2>/dev/null
(cd "$build" && find . -path "*screenshots*" -type f -exec cp --parents {} "$SHARE/" \;)
exit "$status"'
status=0
tools/in-emulated-machine.sh "$share" "$build" -- bash -c "$job" ctest-job "$build" \
  -j 2 --output-on-failure --timeout "$test_timeout" "$@" || status=$?
echo "shipped lane: ctest log and screenshots in $share"
exit $status
