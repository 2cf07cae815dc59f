#!/usr/bin/env bash
# Sets the machine up, builds every preset and runs every test, lane by lane:
#   native   the window-free logic as 64-bit host programs with ASan and UBSan
#   fuzz     each fuzzer for a bounded time (clang, libFuzzer)
#   mirror   every Windows program built for x86_64, the whole Windows test set under 64-bit Wine
#   shipped  the i686 binaries players get, the whole Windows test set under 32-bit Wine: on this
#            machine where its kernel runs 32-bit programs, else inside the emulated machine
# and checks that what ships is reproducible: the shipped binaries of both Windows presets built
# twice, from other folders a minute apart, must be the same bytes. Both Windows presets' test kits
# are built; after the mirror lane its kit runs as a tester runs it (tools/test-kit.sh): unpacked
# in a folder with a space in its path, under a fresh Wine prefix, with the same tests and outcomes
# as the lane; after the shipped lane the windows preset's kit runs the same way (in the emulated
# machine where the kernel runs no 32-bit programs).
# Prints how long each phase took and, per lane, what ran it and how many tests passed; ends with
# one line of totals. A lane that could not run at all fails the run.
# SHIPPED_LANE=emulated runs the shipped lane in the emulated machine even where the kernel runs
# 32-bit programs.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build/logs

started=$SECONDS
phase_started=$SECONDS
phase_done() { echo "== phase $1: $((SECONDS - phase_started)) s"; phase_started=$SECONDS; }

# Where the shipped lane can run, found once for the whole command.
if why=$(tools/runs-32bit-code.sh --why); then export RUNS_32BIT_CODE=yes; else export RUNS_32BIT_CODE=no; fi
tools/bootstrap.sh
phase_done set-up

echo "== shipped lane: $why"
if [ "${SHIPPED_LANE:-}" != emulated ] && [ $RUNS_32BIT_CODE = yes ]; then
  shipped_runtime="32-bit Wine on this machine"
else
  shipped_runtime="32-bit Wine in the emulated machine"
  # The machine is made (or found ready) while the builds run; its log tells how far it got.
  echo "== the shipped lane runs in the emulated machine (log: build/logs/emulated-machine-image.log)"
  tools/emulated-machine.sh image >build/logs/emulated-machine-image.log 2>&1 &
  image_job=$!
fi

for preset in native fuzz mirror windows; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
  case "$preset" in mirror | windows) cmake --build --preset "$preset" --target test_kit ;; esac
  phase_done "build $preset"
done

lanes=()
passed=0
failed=0
status=0
# count LANE RUNTIME LOG: adds up ctest's summary line in LOG ("NN% tests passed, F tests failed
# out of T"); without one, the lane did not run and the run fails.
count() {
  local lane=$1 runtime=$2 log=$3 summary f t
  if summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1); then
    read -r f t <<<"$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1 \2/' <<<"$summary")"
    lanes+=("$lane ($runtime): $((t - f)) passed, $f failed")
    passed=$((passed + t - f))
    failed=$((failed + f))
    [ "$f" -eq 0 ] || status=1
  else
    lanes+=("$lane ($runtime): did not run")
    status=1
  fi
}
# tally_whole passed|failed LINE: a check that passes or fails as a whole counts as one test.
tally_whole() {
  lanes+=("$2")
  if [ "$1" = passed ]; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi
}
# campaign_totals TABLE...: each fault campaign's last two lines, what it reached and found.
campaign_totals() {
  local table
  for table in "$@"; do
    [ -f "$table" ] && { echo "$table:"; tail -n 2 "$table"; }
  done
  return 0
}
# failure_digest: the lines that say what failed, from each lane's log and each kit's report of this
# run, printed last, where a short view of the run's output still shows them.
failure_digest() {
  local file lines
  for file in "${digest_files[@]}"; do
    [ -f "$file" ] || continue
    lines=$(tr -d '\r' <"$file" | grep -E -B1 -A3 '(DEFECT|: Failure$|\*\*\*(Failed|Timeout|Exception)|^FAILED  )' | head -n 30)
    [ -z "$lines" ] || printf '== what failed, from %s:\n%s\n' "$file" "$lines"
  done
  return 0
}
digest_files=()
run_lane() {  # LANE RUNTIME COMMAND...: runs the lane's tests, its output also kept in a log
  local lane=$1 runtime=$2 log=build/logs/ctest-$1.log
  shift 2
  echo "== lane $lane: $runtime"
  "$@" 2>&1 | tee "$log" || true
  digest_files+=("$log")
  count "$lane" "$runtime" "$log"
  phase_done "lane $lane"
}

# run_kit PRESET LANE-LOG: the preset's test kit against its lane's ctest log.
run_kit() {
  local summary
  digest_files+=("build/logs/test-kit-$1-report.txt")
  if tools/test-kit.sh "$1" "$2" 2>&1 | tee "build/logs/test-kit-$1-check.log"; then
    summary=$(tr -d '\r' <"build/logs/test-kit-$1.log" | grep -E '^[0-9]+ passed, [0-9]+ failed' | tail -1)
    tally_whole passed "kit $1 (run-tests.exe, as ctest's lane): $summary"
  else
    tally_whole failed "kit $1 (run-tests.exe): NOT as ctest's lane (build/logs/test-kit-$1*)"
  fi
  phase_done "kit $1"
}

# run_wine_lane LANE RUNTIME PRESET WINEARCH: the preset's ctest under one Wine session for its
# tests' prefix (the test preset's WINEPREFIX) for the whole run.
run_wine_lane() {
  local prefix=$PWD/build/$3/wineprefix
  WINEARCH=$4 tools/wine-session.sh start "$prefix"
  run_lane "$1" "$2" ctest --preset "$3"
  WINEARCH=$4 tools/wine-session.sh stop "$prefix"
  campaign_totals "build/$3"/tests/faults/*-campaign/table.txt
}

echo "== reproducible builds"
if tests/packaging/reproducible_build.sh windows mirror 2>&1 | tee build/logs/reproducible-build.log; then
  tally_whole passed "reproducible (windows and mirror built twice): the same bytes"
else
  tally_whole failed "reproducible (windows and mirror built twice): NOT the same bytes"
fi
phase_done "reproducible builds"

run_lane native "64-bit host programs, ASan and UBSan" ctest --preset native
run_lane fuzz "64-bit host fuzzers" ctest --preset fuzz
run_wine_lane mirror "64-bit Wine" mirror win64
run_kit mirror build/logs/ctest-mirror.log
if [ -z "${image_job:-}" ]; then
  run_wine_lane shipped "$shipped_runtime" windows win32
  run_kit windows build/logs/ctest-shipped.log
else
  echo "== waiting for the emulated machine (log: build/logs/emulated-machine-image.log)"
  if wait "$image_job"; then
    tail -n 3 build/logs/emulated-machine-image.log
    phase_done "emulated machine ready"
    run_lane shipped "$shipped_runtime" tools/shipped-lane.sh build/windows
    campaign_totals build/shipped-lane/*-campaign.txt
    run_kit windows build/logs/ctest-shipped.log
  else
    cat build/logs/emulated-machine-image.log
    lanes+=("shipped ($shipped_runtime): did not run, the emulated machine could not be made")
    status=1
  fi
fi

echo "== lanes"
printf '%s\n' "${lanes[@]}"
[ $status -eq 0 ] || failure_digest
echo "== all phases: $((SECONDS - started)) s"
echo "tests: $passed passed, $failed failed"
exit $status
