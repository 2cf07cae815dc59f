#!/usr/bin/env bash
# Usage: run_beside_diagnostic_folder.sh CASE-FOLDER [the further arguments of run_game_flow.sh...]
# Runs a game-flow case (run_game_flow.sh) while the prefix's c:\1_temp already holds the files of
# the case's diagnostic_folder_before/, as a player's machine may. The case must pass as usual, and
# afterwards c:\1_temp must hold exactly those files again, with nothing left beside it on c:.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/hold-c-1-temp.sh"
case_folder=$1
drive_c="$WINEPREFIX/drive_c"
diagnostics="$drive_c/1_temp"

# Whatever c:\1_temp held before this test is set aside for it and put back afterwards.
before_test="$diagnostics.before-test-$$"
finish() {
  rm -rf "$diagnostics"
  if [ -e "$before_test" ]; then mv "$before_test" "$diagnostics"; fi
}
trap finish EXIT
if [ -e "$diagnostics" ]; then mv "$diagnostics" "$before_test"; fi
cp -R "$case_folder/diagnostic_folder_before" "$diagnostics"
drive_c_before=$(ls -A "$drive_c")

"$here/run_game_flow.sh" "$@"
status=$?

if ! differences=$(diff -r "$case_folder/diagnostic_folder_before" "$diagnostics" 2>&1); then
  echo "FAIL: c:\\1_temp does not hold again what it held before the run:"$'\n'"$differences"
  status=1
fi
drive_c_after=$(ls -A "$drive_c")
if [ "$drive_c_after" != "$drive_c_before" ]; then
  echo "FAIL: c: holds other entries than before the run (before < > after):"
  diff <(echo "$drive_c_before") <(echo "$drive_c_after")
  status=1
fi
exit $status
