#!/usr/bin/env bash
# Runs the tests of the shipped 32-bit Windows binaries (an already built BUILD-DIR, default
# build/windows) with 32-bit Wine inside the emulated machine (tools/emulated-machine.sh), for
# hosts that cannot run 32-bit code. The work tree's tracked files and the build folder (without
# object files and static libraries) are unpacked in the machine at their absolute paths here,
# since CMake's build folders refer to them so. The ctest log and any screenshots come back to
# build/shipped-lane/. Prints ctest's output, then one line of totals; fails when a test failed
# or ctest did not finish.
#   tools/shipped-lane.sh [BUILD-DIR [CTEST-ARGUMENTS...]]
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
build=$(cd "${1:-build/windows}" && pwd)
shift $(($# > 0 ? 1 : 0))
ctest_arguments=("$@")
share=$repo/build/shipped-lane
# A test may take this long in the machine unless it sets its own timeout: everything under
# emulation is several times slower than on the host.
test_timeout=1500

[ -f "$build/CTestTestfile.cmake" ] || { echo "shipped lane: $build is not a configured build folder" >&2; exit 1; }
rm -rf "$share"
mkdir -p "$share"

# The Wine prefixes the tests use, each copied from the machine's template (made with the settings
# of tools/wine-prefix.sh) instead of by wineboot: tools/wine-env.sh's own and WINEPREFIX in test
# environments, which get a persistent session; and a prefix that follows an X display
# (":N PREFIX") in a test's command, whose session the tests start and stop themselves.
{
  env -u WINEPREFIX -u WINEARCH bash -c 'source tools/wine-env.sh && echo "$WINEPREFIX"'
  find "$build" -name CTestTestfile.cmake -exec cat {} + \
    | grep -oE 'WINEPREFIX=[^;"]+' | sed 's/^WINEPREFIX=//' || true
  find "$build" -name CTestTestfile.cmake -exec cat {} + \
    | grep -oE '":[0-9]+" "/[^"]+"' | sed -E 's/^"(:[0-9]+)" "([^"]+)"$/\2 \1/' || true
} | awk '!($1 in display) || $2 != "" { display[$1] = $2 } END { for (p in display) print p, display[p] }' \
  >"$share/prefixes"

# What ctest needs, at absolute paths: tracked files as they are now, and the build folder without
# objects, static libraries and Wine prefixes.
list=$share/files
git ls-files -z | while IFS= read -r -d '' file; do
  [ -e "$file" ] && printf '%s\0' "$repo/$file"
done >"$list"
prune=(-name '*.o' -o -name '*.obj' -o -name '*.a' -o -path "$share")
while read -r prefix _; do prune+=(-o -path "$prefix"); done <"$share/prefixes"
find "$build" \( "${prune[@]}" \) -prune -o -print0 >>"$list"
tar -cPf "$share/tree.tar" --no-recursion --null -T "$list"
rm "$list"
echo "shipped lane: staged $(du -sm "$share/tree.tar" | cut -f1) MB for the machine; Wine prefixes: $(cut -d' ' -f1 "$share/prefixes" | tr '\n' ' ')"

{
  printf 'build=%q\n' "$build"
  printf 'ctest_arguments=(%s)\n' "$(printf '%q ' -j 2 --output-on-failure --timeout "$test_timeout" "${ctest_arguments[@]}")"
  cat <<'JOB'
set -uo pipefail
# Programs run from the machine's disk, never from the shared folder.
tar -xPf /mnt/share/tree.tar
# A copied template counts as made by tools/wine-prefix.sh once marked so.
while read -r prefix display; do
  wine-session --prefix-only "$prefix" && touch "$prefix/.prefix-ready"
  [ -n "$display" ] || wine-session "$prefix" || echo "shipped lane: the Wine session for $prefix did not start"
done </mnt/share/prefixes
cd "$build"
ctest --test-dir "$build" "${ctest_arguments[@]}" 2>&1 | tee /mnt/share/ctest.log
status=${PIPESTATUS[0]}
cp Testing/Temporary/LastTest.log /mnt/share/ 2>/dev/null
find . -path '*screenshots*' -type f -exec cp --parents {} /mnt/share/ \;
exit "$status"
JOB
} >"$share/job.sh"

status=0
"$repo/tools/emulated-machine.sh" run "$share" bash job.sh || status=$?
rm -f "$share/tree.tar"

# "NN% tests passed, F tests failed out of T"; without it ctest did not finish.
passed=0 failed=0
if summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$share/ctest.log" 2>/dev/null); then
  read -r failed total <<<"$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1 \2/' <<<"$summary")"
  passed=$((total - failed))
  [ "$failed" -eq 0 ] || status=1
else
  echo "shipped lane: ctest did not finish in the machine"
  status=1
fi
echo "shipped lane: ctest log and screenshots in $share"
echo "shipped lane (32-bit Wine in the emulated machine): $passed passed, $failed failed"
exit $status
