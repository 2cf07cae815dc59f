#!/usr/bin/env bash
# Assembles a game folder around the built Starter.exe and takes it through a player's visit on
# the current X display: screenshots of the narrow and the wide window, "Window mode" ticked,
# "Play". Prints what the stand-in game received and where the screenshots are.
#   drive-starter.sh [--by-hand] BUILD-DIR GAME-FOLDER SCREENSHOT-FOLDER [CONFIG-FOLDER]
# CONFIG-FOLDER (default tools/sample-game) provides "xconfig.dat" and "vorlan2.wav". With
# --by-hand the player uses the window instead, and no screenshots are taken.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
by_hand=false
if [ "${1:-}" = --by-hand ]; then by_hand=true; shift; fi
build=$1 game=$2 shots=$3 config=${4:-$repo/tools/sample-game}

mkdir -p "$game" "$shots"
rm -f "$game"/vorlan_started.txt "$shots"/*.bmp "$shots"/*.png
cp "$build/launcher/Starter.exe" "$game/"
cp "$build/standins/vorlan/vorlan.exe" "$game/vorlan.exe"
for file in xconfig.dat vorlan2.wav; do
  if [ -f "$config/$file" ]; then cp "$config/$file" "$game/"; else rm -f "$game/$file"; fi
done

if $by_hand; then
  (cd "$game" && "$repo/tools/wine-run" Starter.exe) || echo "Starter.exe ended with status $?"
  # A game the launcher started runs by now and records its start as it comes up.
  # It writes two lines: wait for both, or until no game runs; 30 s at most.
  for _ in $(seq 300); do
    if [ "$(wc -l <"$game/vorlan_started.txt" 2>/dev/null || echo 0)" -ge 2 ] || ! pgrep -f 'vorlan\.exe' >/dev/null; then
      break
    fi
    sleep 0.1
  done
  if [ -f "$game/vorlan_started.txt" ]; then cat "$game/vorlan_started.txt"; else echo "the game was not started"; fi
  exit 0
fi
# Without a sound card, Wine's sound driver complains on standard error; the rest stays visible.
"$repo/tools/wine-run" "$build/tests/launcher/starter_tour.exe" "$game" "$shots" 2> >(grep -v '^ALSA lib' >&2) | tr -d '\r'
for shot in narrow wide; do
  convert "$shots/$shot.bmp" "$shots/$shot.png"
  rm "$shots/$shot.bmp"
  echo "screenshot of the $shot window: $shots/$shot.png"
done
