#!/usr/bin/env bash
# Runs a preset's Windows test kit as a tester would and holds it to the lane's ctest run: the
# kit's zip (the test_kit target, built already) is unpacked into a fresh folder whose path holds a
# space and a non-ASCII letter, and run-tests.exe runs there under a fresh Wine prefix with a
# virtual display of its own (for the windows preset where the kernel runs no 32-bit programs, in
# the emulated machine, where the fault campaigns run their fixed subset as the shipped lane's
# ctest does there). It then must have run every test of CTEST-LOG (that lane's ctest output)
# but those its manifest lists as not in the kit, and no other, with the same numbers passed,
# failed and skipped. Its output and report are kept in build/logs/test-kit-PRESET*.
#   tools/test-kit.sh mirror|windows CTEST-LOG
set -euo pipefail
cd "$(dirname "$0")/.."
preset=$1 ctest_log=$(realpath "$2")
case "$preset" in
  mirror) arch=win64 ;;
  windows) arch=win32 ;;
  *) echo "usage: $0 mirror|windows CTEST-LOG" >&2; exit 2 ;;
esac
zip=$(ls build/"$preset"/*-test-kit.zip)
mkdir -p build/logs
output=$PWD/build/logs/test-kit-$preset.log
report=$PWD/build/logs/test-kit-$preset-report.txt
rm -f "$output" "$report"  # an earlier run's would pass for this one's

place=$(mktemp -d "/tmp/test kit.XXXXXX")
trap 'rm -rf "$place"' EXIT
kit="$place/Prüfung Kit"
mkdir "$kit"
unzip -q "$zip" -d "$kit"
echo "== test kit ($preset): $(basename "$zip") unpacked in $kit"

# In the kit's folder: run-tests.exe under a fresh prefix with a display of the run's own (Wine
# takes no prefix whose path has a blank), its report out.
job='kit=$1 output=$2 report=$3
[ -z "$5" ] || export FAULT_CAMPAIGN_SUBSET=$5
export LC_ALL=C.UTF-8  # Wine reads the folder'"'"'s name in the encoding of the locale
session=$(mktemp -d)
export WINEARCH=$4 WINEPREFIX=$session/wineprefix
tools/wine-session.sh start "$WINEPREFIX" "$session/display" >/dev/null
status=0
repo=$PWD
(cd "$kit" && DISPLAY=$(cat "$session/display") "$repo/tools/wine-run" ./run-tests.exe) >"$output" 2>&1 || status=$?
tools/wine-session.sh stop "$WINEPREFIX" "$session/display"
rm -rf "$session"
cp "$kit/run-tests-report.txt" "$report" 2>/dev/null || true
exit $status'
status=0
if [ "$preset" = windows ] && [ "${RUNS_32BIT_CODE:-$(tools/runs-32bit-code.sh >/dev/null && echo yes || echo no)}" != yes ]; then
  share=$PWD/build/shipped-lane-kit
  tools/in-emulated-machine.sh "$share" build/windows --with "$place" -- \
    bash -c "$job" kit-job "$kit" /mnt/share/output.txt /mnt/share/report.txt $arch "${FAULT_CAMPAIGN_SUBSET:-1}" || status=$?
  cp "$share/output.txt" "$output" 2>/dev/null || true
  cp "$share/report.txt" "$report" 2>/dev/null || true
else
  bash -c "$job" kit-job "$kit" "$output" "$report" $arch "" || status=$?
fi
cat "$output"
export LC_ALL=C  # one sort order for every list compared below

# The ctest lane's outcome per test: passed, failed or skipped.
ctest_outcomes=$(sed -nE 's/^ *[0-9]+\/[0-9]+ +Test +#[0-9]+: (.*[^ .]) \.* *(\*\*\*)?([A-Za-z][A-Za-z ]*[a-z]) +[0-9.]+ sec$/\1\t\3/p' "$ctest_log" |
  awk -F'\t' '{ print $1 "\t" ($2 == "Passed" ? "passed" : $2 == "Skipped" ? "skipped" : "failed") }' | sort)
absent=$(unzip -p "$zip" kit_tests.txt | awk -F'\t' '$1 == "absent" { print $2 }' | sort)
# The kit's outcome per test, from its lines "passed   NAME (T s)", "FAILED   NAME (T s): ...",
# "skipped  NAME: REASON".
kit_outcomes=$(tr -d '\r' <"$output" | sed -nE 's/^(passed|FAILED|skipped) +(.*)$/\1\t\2/p' |
  awk -F'\t' '{ outcome = tolower($1); name = $2
    if (outcome == "skipped") sub(/: .*$/, "", name); else sub(/ \([0-9.]+ s\)(: .*)?$/, "", name)
    print name "\t" outcome }' | sort)

expected=$(join -t $'\t' -v 1 <(echo "$ctest_outcomes") <(echo "$absent" | sed 's/$/\t/') | sort)
missing=$(comm -23 <(cut -f1 <<<"$expected") <(cut -f1 <<<"$kit_outcomes"))
extra=$(comm -13 <(cut -f1 <<<"$expected") <(cut -f1 <<<"$kit_outcomes"))
counts() { for outcome in passed failed skipped; do printf '%s %s, ' "$(cut -f2 <<<"$1" | grep -cx "$outcome")" "$outcome"; done; }
echo "== test kit ($preset) against ctest for the same $(wc -l <<<"$expected") tests:"
echo "   ctest: $(counts "$expected")"
echo "   kit:   $(counts "$kit_outcomes")"
result=0
[ -z "$missing" ] || { echo "== missing from the kit's run:"; echo "$missing"; result=1; }
[ -z "$extra" ] || { echo "== in the kit's run, not in ctest's:"; echo "$extra"; result=1; }
if [ "$(counts "$expected")" != "$(counts "$kit_outcomes")" ]; then
  echo "== the counts differ; tests whose outcome differs:"
  comm -3 <(echo "$expected") <(echo "$kit_outcomes")
  result=1
fi
[ -s "$report" ] && echo "== report: $report"
[ $result -eq 0 ] && echo "== test kit ($preset): the same tests with the same outcomes as ctest"
exit $result
