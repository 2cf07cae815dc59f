#!/usr/bin/env bash
# Usage: plugin_output_test.sh VORLAN_EXE PRINTING_PLUGIN_DLL
# What a plug-in prints lands in the host's transcript between the call's echo and its answer,
# both on standard output and in vorlan_output.txt, also when there is no terminal.
set -uo pipefail
wine_run="$(cd "$(dirname "$0")" && pwd)/../../../tools/wine-run"
game=$(mktemp -d)
trap 'rm -rf "$game"' EXIT
cp "$1" "$game/"
cp "$2" "$game/kelvo.dll"
cd "$game"
printf 'say_hello\nsay_hello\n' >script.txt
expected="A6_DLLAPI -> raw 630, var 0.615234375, 0 function lookups (vorlan_lookups.txt)
1: say_hello
plug-in: hello
plug-in: second line
  -> raw 1, var 0.0009765625
2: say_hello
plug-in: hello
plug-in: second line
  -> raw 1, var 0.0009765625"
failures=0
"$wine_run" vorlan.exe -script script.txt >console.txt 2>/dev/null || { echo "FAIL: host failed"; failures=1; }
[ "$(cat console.txt)" = "$expected" ] || { echo "FAIL: standard output:"; cat console.txt; failures=1; }
[ "$(cat vorlan_output.txt)" = "$expected" ] || { echo "FAIL: transcript:"; cat vorlan_output.txt; failures=1; }
rm vorlan_output.txt
"$wine_run" vorlan.exe -script script.txt </dev/null >/dev/null 2>&1 || { echo "FAIL: host failed without a terminal"; failures=1; }
[ "$(cat vorlan_output.txt)" = "$expected" ] || { echo "FAIL: transcript without a terminal:"; cat vorlan_output.txt; failures=1; }
[ $failures -eq 0 ] && echo "plug-in output is in the transcript, in order"
exit $failures
