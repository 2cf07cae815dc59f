#!/usr/bin/env bash
# Usage: run_game_flow.sh CASE-FOLDER VORLAN_EXE KELVO_DLL STEAM_API_DLL STOREFRONT_TOOL CAPTURE_EXE
#          [DLL the storefront library needs beside it...]
# Lays out a game folder (the stand-in game, the plug-in, the given storefront library as
# steam_api.dll with the DLLs it needs, and the case's storefront_state.json), runs the case's
# game script under the debugger-output capture with Wine, and compares what came out with the case's expectations:
#   expected_output.txt    the game's whole transcript, byte for byte
#   expected_debugger.txt  the debugger output (compared as UTF-16LE); none expected without it
#   expected_state.txt     lines the storefront tool shows afterwards (each must appear as is)
#   expected_pais.txt, expected_alog.txt
#                          the diagnostic files under the prefix's c:\1_temp, byte for byte
#   no_diagnostic_folder   c:\1_temp is missing during the run and must still be missing after
#   expected_stderr.txt    texts (one a line) that the game's standard error must contain
#   expected_kept.txt      lines "CASE-FILE GAME-FILE": the game folder's file must afterwards hold
#                          exactly the case's file (what must not be lost)
# An existing c:\1_temp is set aside for the run and put back afterwards.
set -uo pipefail
tools="$(cd "$(dirname "$0")" && pwd)/../../tools"
source "$tools/wine-env.sh"
"$tools/wine-prefix.sh"  # the lock below lives in the prefix
# c:\1_temp belongs to the whole prefix, which other test runs may be using at the same time:
# the run holds the prefix's lock for it (held by flock itself, so that no Wine process started
# here keeps it).
if [ -z "${HOLDS_C_1_TEMP_LOCK:-}" ]; then
  HOLDS_C_1_TEMP_LOCK=1 exec flock -o "$WINEPREFIX/c_1_temp.lock" "$0" "$@"
fi
case_folder=$1 vorlan=$2 kelvo=$3 steam_api=$4 tool=$5 capture=$6
shift 6
storefront_needs=("$@")
unset OFFLINE_STOREFRONT_STATE OFFLINE_STOREFRONT_KNOBS

game=$(mktemp -d)
diagnostics="$WINEPREFIX/drive_c/1_temp"
kept="$diagnostics.kept-$$"
restore() {
  rm -rf "$game" "$diagnostics"
  if [ -e "$kept" ]; then mv "$kept" "$diagnostics"; fi
}
trap restore EXIT
if [ -e "$diagnostics" ]; then mv "$diagnostics" "$kept"; fi
if [ ! -e "$case_folder/no_diagnostic_folder" ]; then mkdir "$diagnostics"; fi

cp "$vorlan" "$kelvo" "$capture" "$case_folder/script.txt" "$game/"
cp "$steam_api" "$game/steam_api.dll"
if [ ${#storefront_needs[@]} -gt 0 ]; then cp "${storefront_needs[@]}" "$game/"; fi
if [ -e "$case_folder/state.json" ]; then cp "$case_folder/state.json" "$game/storefront_state.json"; fi
cd "$game"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$tools/wine-run" "$(basename "$capture")" debugger.bin vorlan.exe -script script.txt >/dev/null 2>stderr.txt
status=$?
[ $status -eq 0 ] || fail "the game ended with $status: $(cat stderr.txt)"

cmp -s "$case_folder/expected_output.txt" vorlan_output.txt \
  || fail "transcript differs: $(diff "$case_folder/expected_output.txt" vorlan_output.txt)"

expected_debugger=$(mktemp)
if [ -e "$case_folder/expected_debugger.txt" ]; then
  iconv -f ASCII -t UTF-16LE "$case_folder/expected_debugger.txt" >"$expected_debugger"
fi
cmp -s "$expected_debugger" debugger.bin \
  || fail "debugger output differs: expected $(od -An -tx1 "$expected_debugger" | tr -d "\n"), got $(od -An -tx1 debugger.bin | tr -d "\n")"
rm -f "$expected_debugger"

if [ -e "$case_folder/expected_state.txt" ]; then
  "$tools/wine-run" "$tool" show storefront_state.json 2>&1 | tr -d '\r' >shown.txt
  while IFS= read -r line; do
    grep -qxF -- "$line" shown.txt || fail "the storefront does not show \"$line\": $(cat shown.txt)"
  done <"$case_folder/expected_state.txt"
fi

for name in pais alog; do
  if [ -e "$case_folder/expected_$name.txt" ]; then
    cmp -s "$case_folder/expected_$name.txt" "$diagnostics/$name.txt" \
      || fail "c:\\1_temp\\$name.txt differs: $(od -c "$diagnostics/$name.txt" 2>&1 | head -5)"
  fi
done
if [ -e "$case_folder/no_diagnostic_folder" ] && [ -e "$diagnostics" ]; then
  fail "c:\\1_temp was created: $(ls -la "$diagnostics")"
fi

if [ -e "$case_folder/expected_stderr.txt" ]; then
  while IFS= read -r text; do
    grep -qF -- "$text" stderr.txt || fail "standard error does not say \"$text\": $(cat stderr.txt)"
  done <"$case_folder/expected_stderr.txt"
fi
if [ -e "$case_folder/expected_kept.txt" ]; then
  while read -r original kept; do
    cmp -s "$case_folder/$original" "$kept" || fail "$kept does not hold $original: $(ls)"
  done <"$case_folder/expected_kept.txt"
fi

[ $failures -eq 0 ] && echo "game flow $(basename "$case_folder"): as expected"
exit $((failures > 0))
