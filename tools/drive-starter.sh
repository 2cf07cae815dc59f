#!/usr/bin/env bash
# Assembles a game folder around the built Starter.exe and takes it through a player's visit on
# the current X display: screenshots of the narrow and the wide window, "Window mode" ticked,
# "Play". Prints what the stand-in game received and where the screenshots are.
#   drive-starter.sh BUILD-DIR GAME-FOLDER SCREENSHOT-FOLDER [CONFIG-FOLDER]
# CONFIG-FOLDER (default tools/sample-game) provides "xconfig.dat" and "vorlan2.wav".
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$1 game=$2 shots=$3 config=${4:-$repo/tools/sample-game}
source "$repo/tools/wine-env.sh"

mkdir -p "$game" "$shots"
rm -f "$game"/vorlan_started.txt "$shots"/*.bmp "$shots"/*.png
cp "$build/launcher/Starter.exe" "$game/"
cp "$build/standins/vorlan/vorlan.exe" "$game/vorlan.exe"
for file in xconfig.dat vorlan2.wav; do
  if [ -f "$config/$file" ]; then cp "$config/$file" "$game/"; else rm -f "$game/$file"; fi
done

wine "$build/tests/launcher/starter_tour.exe" "$game" "$shots" | tr -d '\r'
for shot in narrow wide; do
  convert "$shots/$shot.bmp" "$shots/$shot.png"
  rm "$shots/$shot.bmp"
  echo "screenshot of the $shot window: $shots/$shot.png"
done
