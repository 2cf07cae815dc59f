#!/usr/bin/env bash
# Usage: run_game_flow.sh CASE-FOLDER VORLAN_EXE KELVO_DLL STEAM_API_DLL STOREFRONT_TOOL CAPTURE_EXE
#          [DLL the storefront library needs beside it...]
# Lays out a game folder (the stand-in game, the plug-in, the given storefront library as
# steam_api.dll with the DLLs it needs, and the case's storefront_state.json), runs the case's
# game script under the debugger-output capture with Wine, and compares what came out with the
# case's expectations. Golden files, each compared whole and exactly:
#   expected_output.txt    the game's transcript
#   expected_debugger.txt  the debugger output (compared as UTF-16LE); none expected without it
#   expected_state.txt     what the storefront tool shows afterwards (`show`: player, achievements,
#                          stats, boards and their entries)
#   expected_pais.txt, expected_alog.txt
#                          the diagnostic files under the prefix's c:\1_temp, where the case has them
# Assertions written by hand:
#   no_diagnostic_folder   c:\1_temp is missing during the run and must still be missing after
#   expected_stderr.txt    texts (one a line) that the game's standard error must contain
#   expected_kept.txt      lines "CASE-FILE GAME-FILE": the game folder's file must afterwards hold
#                          exactly the case's file (what must not be lost)
#   diagnostic_folder_before/
#                          files that c:\1_temp holds when the run starts and must hold again after
#                          it (run_beside_diagnostic_folder.sh runs such a case)
# With GAME_FLOW_RECORD=1 the run writes the case's golden files from what came out instead of
# comparing them (tools/regenerate-golden.sh); the assertions written by hand still count.
# An existing c:\1_temp is set aside for the run and put back afterwards.
set -uo pipefail
tools="$(cd "$(dirname "$0")" && pwd)/../../tools"
source "$tools/hold-c-1-temp.sh"
case_folder=$1 vorlan=$2 kelvo=$3 steam_api=$4 tool=$5 capture=$6
shift 6
storefront_needs=("$@")
unset OFFLINE_STOREFRONT_STATE OFFLINE_STOREFRONT_KNOBS

game=$(mktemp -d)
diagnostics="$WINEPREFIX/drive_c/1_temp"
diagnostics_set_aside="$diagnostics.kept-$$"
restore() {
  rm -rf "$game" "$diagnostics"
  if [ -e "$diagnostics_set_aside" ]; then mv "$diagnostics_set_aside" "$diagnostics"; fi
}
trap restore EXIT
if [ -e "$diagnostics" ]; then mv "$diagnostics" "$diagnostics_set_aside"; fi
if [ ! -e "$case_folder/no_diagnostic_folder" ]; then mkdir "$diagnostics"; fi

cp "$vorlan" "$kelvo" "$capture" "$case_folder/script.txt" "$game/"
cp "$steam_api" "$game/steam_api.dll"
if [ ${#storefront_needs[@]} -gt 0 ]; then cp "${storefront_needs[@]}" "$game/"; fi
if [ -e "$case_folder/state.json" ]; then cp "$case_folder/state.json" "$game/storefront_state.json"; fi
cd "$game" || exit 1

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# golden NAME ACTUAL-FILE: the case's golden file NAME must hold exactly what ACTUAL-FILE holds.
golden() {
  if [ "${GAME_FLOW_RECORD:-}" = 1 ]; then
    cp "$2" "$case_folder/$1"
  elif [ ! -e "$case_folder/$1" ]; then
    fail "the case has no $1 (tools/regenerate-golden.sh writes it)"
  elif ! cmp -s "$case_folder/$1" "$2"; then
    fail "$1 differs (expected < > got):"$'\n'"$(diff "$case_folder/$1" "$2" | head -40)"
  fi
}

"$tools/wine-run" "$(basename "$capture")" debugger.bin vorlan.exe -script script.txt >/dev/null 2>stderr.txt
status=$?
[ $status -eq 0 ] || fail "the game ended with $status: $(cat stderr.txt)"

golden expected_output.txt vorlan_output.txt

# The debugger output is UTF-16LE; the golden file holds it as ASCII, and no file means none.
if [ -s debugger.bin ] || [ -e "$case_folder/expected_debugger.txt" ]; then
  iconv -f UTF-16LE -t ASCII debugger.bin >debugger.txt || fail "the debugger output is not ASCII text: $(od -c debugger.bin | head -5)"
  golden expected_debugger.txt debugger.txt
fi

"$tools/wine-run" "$tool" show storefront_state.json 2>&1 | tr -d '\r' >shown.txt
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "the storefront tool failed: $(cat shown.txt)"
golden expected_state.txt shown.txt

for name in pais alog; do
  if [ -e "$case_folder/expected_$name.txt" ]; then
    if [ -e "$diagnostics/$name.txt" ]; then
      golden "expected_$name.txt" "$diagnostics/$name.txt"
    else
      fail "c:\\1_temp\\$name.txt was not written"
    fi
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
  while read -r case_file game_file; do
    cmp -s "$case_folder/$case_file" "$game_file" || fail "$game_file does not hold $case_file: $(ls)"
  done <"$case_folder/expected_kept.txt"
fi

[ $failures -eq 0 ] && echo "game flow $(basename "$case_folder"): as expected"
exit $((failures > 0))
