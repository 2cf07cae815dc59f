#!/usr/bin/env bash
# The main job: builds the Windows binaries, assembles a game folder in build/game (Starter.exe,
# the stand-in game, "xconfig.dat" and "vorlan2.wav" from CONFIG-FOLDER, default
# tools/sample-game) and runs Starter.exe under Wine. On the user's display the player uses the
# window; without a display a virtual one is started and a scripted visit presses "Video Setup",
# ticks "Window mode" and presses "Play". Prints the command line the stand-in game received, and
# the screenshots of the narrow and the wide window.
#   tools/play.sh [CONFIG-FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/bootstrap.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j 2 --target Starter vorlan starter_tour >/dev/null
repo=$PWD
config=$(cd "${1:-tools/sample-game}" && pwd)
build=$repo/build/windows game=$repo/build/game shots=$repo/build/game-screenshots

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec tools/drive-starter.sh --by-hand "$build" "$game" "$shots" "$config"
fi
display=:74 prefix=$repo/build/play-wineprefix
tests/launcher/window-session.sh start "$display" "$prefix"
trap 'tests/launcher/window-session.sh stop "$display" "$prefix"' EXIT
DISPLAY=$display WINEPREFIX=$prefix tools/drive-starter.sh "$build" "$game" "$shots" "$config"
