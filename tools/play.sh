#!/usr/bin/env bash
# The main job: builds the shipped i686 Windows binaries, assembles a game folder in build/game
# (Starter.exe, the stand-in game, "xconfig.dat" and "vorlan2.wav" from CONFIG-FOLDER, default
# tools/sample-game) and runs Starter.exe under 32-bit Wine: on this machine where its kernel runs
# 32-bit programs, else in the emulated machine (tools/in-emulated-machine.sh). On the user's
# display the player uses the window; without a display a virtual one is started and a scripted
# visit presses "Video Setup", ticks "Window mode" and presses "Play". Prints the command line the
# stand-in game received, and the screenshots of the narrow and the wide window. The game then
# hosts kelvo.dll against the offline storefront and plays the sample game script
# (tools/sample-game/vorlan_script.txt); its transcript and what the storefront holds afterwards
# (achievements, stats, scores) follow. The storefront's state stays in the game folder from one
# run to the next. SHIPPED_LANE=emulated plays in the emulated machine even where the kernel runs
# 32-bit programs.
#   tools/play.sh [CONFIG-FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
build=$repo/build/windows game=$repo/build/game shots=$repo/build/game-screenshots
prefix=$repo/build/play-wineprefix display_file=$repo/build/play-display
export WINEARCH=win32

# visit CONFIG-FOLDER: the player's visit to the launcher in the assembled game folder, then the
# game session it starts.
visit() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    tools/drive-starter.sh --by-hand "$build" "$game" "$shots" "$1"
  else
    trap 'tools/wine-session.sh stop "$prefix" "$display_file"' EXIT
    tools/wine-session.sh start "$prefix" "$display_file"
    DISPLAY=$(cat "$display_file") WINEPREFIX=$prefix tools/drive-starter.sh "$build" "$game" "$shots" "$1"
  fi
  WINEPREFIX=$prefix tools/show-game-session.sh "$build" "$game"
}

# In the emulated machine, on what the host prepared; the game folder and the screenshots go back.
if [ "${1:-}" = --visit-in-machine ]; then
  status=0
  visit "$2" || status=$?
  cp -a "$game" "$shots" "$SHARE/"
  exit $status
fi

# Where the game can be played, found once for the whole command.
if why=$(tools/runs-32bit-code.sh --why); then export RUNS_32BIT_CODE=yes; else export RUNS_32BIT_CODE=no; fi
tools/bootstrap.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j 2 --target Starter vorlan starter_tour kelvo steam_api storefront >/dev/null
config=$(cd "${1:-tools/sample-game}" && pwd)

# The game's plug-in, the offline storefront (its state kept from earlier runs) and the script.
mkdir -p "$game"
cp "$build/plugin/kelvo.dll" "$build/standins/steam_api/steam_api.dll" tools/sample-game/vorlan_script.txt "$game/"
[ -f "$game/storefront_state.json" ] || cp tools/sample-game/storefront_state.json "$game/"
rm -f "$game/vorlan_output.txt"

if [ "${SHIPPED_LANE:-}" != emulated ] && [ $RUNS_32BIT_CODE = yes ]; then
  visit "$config"
else
  echo "== $why; the game is played in the emulated machine"
  tools/emulated-machine.sh image
  share=$repo/build/play-in-machine
  status=0
  tools/in-emulated-machine.sh "$share" "$build" --with "$game" --with "$config" \
    -- tools/play.sh --visit-in-machine "$config" || status=$?
  for folder in "$game" "$shots"; do
    if [ -d "$share/$(basename "$folder")" ]; then rm -rf "$folder" && mv "$share/$(basename "$folder")" "$folder"; fi
  done
  exit $status
fi
