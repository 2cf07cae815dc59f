#!/usr/bin/env bash
# The main job: builds the Windows binaries and shows the game command line that the launcher
# builds from the "xconfig.dat" in a game folder (default: the sample folder).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/bootstrap.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" >/dev/null
repo=$PWD
folder=$(cd "${1:-tools/sample-game}" && pwd)
echo "xconfig.dat in $folder gives the game command line:"
(cd "$folder" && "$repo/tools/wine-run" "$repo/build/windows/launcher/command_line_preview.exe" | tr -d '\r')
