#!/usr/bin/env bash
# Usage: host_script_test.sh EXPECTED_FUNCTION_NAMES VORLAN_EXE KELVO_DLL [FILE...]
# The stand-in host binds the built plug-in under Wine and runs game script against it, and must
# see the plug-in ask for the host functions of EXPECTED_FUNCTION_NAMES (one a line) in order.
# Further files (what the plug-in loads with it) are put beside them.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../../tools/wine-run"
source "$here/../../tools/hold-c-1-temp.sh"
expected_function_names=$1
shift
lookups=$(grep -c . "$expected_function_names")
game=$(mktemp -d)
# say_hello writes into c:\1_temp: made for the run when missing, and removed again.
diagnostics="$WINEPREFIX/drive_c/1_temp"
made_diagnostics=
if [ ! -e "$diagnostics" ]; then mkdir "$diagnostics" && made_diagnostics=1; fi
trap 'rm -rf "$game"; if [ -n "$made_diagnostics" ]; then rm -rf "$diagnostics"; fi' EXIT
cp "$@" "$game/"
cd "$game"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_line() {  # FILE LINE: the exact line must be in the file
  grep -qxF -- "$2" "$1" || fail "no line \"$2\" in $1"
}

cat >script.txt <<'SCRIPT'
# auflip and the value conventions, through the real exports
auflip obj
auflip null
steam_record_abre_level var 2.9
steam_store_stat "NumGames" int 5120   # a plain int, passed unscaled
steam_get_ach null
steam_reset nochars
steam_get_stat "FeetTraveled"
say_hello
steam_country
steam_callback
steam_stop
steam_user
SCRIPT
"$wine_run" vorlan.exe -nc -script script.txt >console.txt 2>stderr.txt
status=$?
[ $status -eq 0 ] || fail "the host ended with $status: $(cat console.txt stderr.txt)"

# The engine saw every request in order, and the binding answered 630.
diff -u "$expected_function_names" vorlan_lookups.txt >/dev/null \
  || fail "function lookups differ from the expected list: $(diff "$expected_function_names" vorlan_lookups.txt | head -5)"
expect_line vorlan_output.txt "A6_DLLAPI -> raw 630, var 0.615234375, $lookups function lookups (vorlan_lookups.txt)"

# auflip answers its own argument and leaves 180 in the var field; null stays null.
grep -A2 -xF '2: auflip obj' vorlan_output.txt | grep -qE '^  -> raw -?[0-9]+, var \S+ \(argument 1 itself\)$' \
  || fail "auflip did not answer its argument"
expect_line vorlan_output.txt "  obj 1: var field raw 184320, var 180"
grep -A1 -xF '3: auflip null' vorlan_output.txt | grep -qxF '  -> raw 0, var 0' || fail "auflip null"
# Raw 1 versus var 1.
grep -A1 -xF '9: say_hello' vorlan_output.txt | grep -qxF '  -> raw 1, var 0.0009765625' || fail "say_hello"
grep -A1 -xF '11: steam_callback' vorlan_output.txt | grep -qxF '  -> raw 1024, var 1' || fail "steam_callback"
grep -A1 -xF '12: steam_stop' vorlan_output.txt | grep -qxF '  -> raw 1024, var 1' || fail "steam_stop"
# A missing name is answered, not read through.
grep -A1 -xF '6: steam_get_ach null' vorlan_output.txt | grep -qxF '  -> raw 0, var 0' || fail "steam_get_ach null"
grep -A1 -xF '7: steam_reset nochars' vorlan_output.txt | grep -qxF '  -> raw 0, var 0' || fail "steam_reset nochars"
# Every call got its answer line, and the terminal saw the same transcript as the file.
[ "$(grep -c '^  -> raw' vorlan_output.txt)" = 12 ] || fail "not every call was answered"
cmp -s console.txt vorlan_output.txt || fail "standard output and vorlan_output.txt differ"
expect_line vorlan_started.txt 'show window=-1'

# Started without a terminal and without a script, as the launcher starts it: it binds, records
# and ends; its transcript is in the file.
rm -f vorlan_output.txt
"$wine_run" vorlan.exe -nc -d v1 </dev/null >/dev/null 2>&1 || fail "a start without script failed"
expect_line vorlan_output.txt "A6_DLLAPI -> raw 630, var 0.615234375, $lookups function lookups (vorlan_lookups.txt)"
[ "$(wc -l <vorlan_output.txt)" = 1 ] || fail "a start without script ran something"
[ "$(grep -c '^command line=' vorlan_started.txt)" = 2 ] || fail "the second start was not recorded"

# A default script beside the game runs when no -script is given.
printf 'steam_callback\r\n' >vorlan_script.txt
"$wine_run" vorlan.exe >/dev/null 2>&1 || fail "the default script failed"
expect_line vorlan_output.txt "1: steam_callback"

# Bad script lines stop the run with a reason and exit code 1, after the lines before them ran.
printf 'say_hello\nsteam_no_such_export\nsay_hello\n' >bad.txt
"$wine_run" vorlan.exe -script bad.txt >/dev/null 2>&1
[ $? -eq 1 ] || fail "an unknown export did not end with 1"
expect_line vorlan_output.txt 'error: kelvo.dll has no export "steam_no_such_export"'
[ "$(grep -c '^  -> raw' vorlan_output.txt)" = 1 ] || fail "the run went on after the bad line"
printf 'steam_store_stat "x" int 99999999999\n' >bad.txt
"$wine_run" vorlan.exe -script bad.txt >/dev/null 2>&1
[ $? -eq 1 ] || fail "a bad argument did not end with 1"
expect_line vorlan_output.txt 'error: bad.txt line 1: int 99999999999 does not fit 32 bits'
"$wine_run" vorlan.exe -script missing.txt >/dev/null 2>&1
[ $? -eq 1 ] || fail "a missing script did not end with 1"
expect_line vorlan_output.txt 'error: cannot read the script "missing.txt"'

"$wine_run" vorlan.exe -script >/dev/null 2>&1
[ $? -eq 1 ] || fail "-script without a file did not end with 1"
expect_line vorlan_output.txt 'error: -script names no file'

[ $failures -eq 0 ] && echo "stand-in host: binding and game script as expected"
exit $((failures > 0))
