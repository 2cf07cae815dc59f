#!/usr/bin/env bash
# The main job: builds the Windows binaries, assembles a game folder in build/game (Starter.exe,
# the stand-in game, "xconfig.dat" and "vorlan2.wav" from CONFIG-FOLDER, default
# tools/sample-game) and runs Starter.exe under Wine. On the user's display the player uses the
# window; without a display a virtual one is started and a scripted visit presses "Video Setup",
# ticks "Window mode" and presses "Play". Prints the command line the stand-in game received, and
# the screenshots of the narrow and the wide window. The game then hosts kelvo.dll against the
# offline storefront and plays the sample game script (tools/sample-game/vorlan_script.txt);
# its transcript and what the storefront holds afterwards (achievements, stats, scores) follow.
# The storefront's state stays in the game folder from one run to the next.
#   tools/play.sh [CONFIG-FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/bootstrap.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j 2 --target Starter vorlan starter_tour kelvo steam_api storefront >/dev/null
repo=$PWD
config=$(cd "${1:-tools/sample-game}" && pwd)
build=$repo/build/windows game=$repo/build/game shots=$repo/build/game-screenshots

# The game's plug-in, the offline storefront (its state kept from earlier runs) and the script.
mkdir -p "$game"
cp "$build/plugin/kelvo.dll" "$build/standins/steam_api/steam_api.dll" tools/sample-game/vorlan_script.txt "$game/"
[ -f "$game/storefront_state.json" ] || cp tools/sample-game/storefront_state.json "$game/"
rm -f "$game/vorlan_output.txt"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  tools/drive-starter.sh --by-hand "$build" "$game" "$shots" "$config"
else
  display=:74 prefix=$repo/build/play-wineprefix
  tests/launcher/window-session.sh start "$display" "$prefix"
  trap 'tests/launcher/window-session.sh stop "$display" "$prefix"' EXIT
  DISPLAY=$display WINEPREFIX=$prefix tools/drive-starter.sh "$build" "$game" "$shots" "$config"
fi
tools/show-game-session.sh "$build" "$game"
