#!/usr/bin/env bash
# Waits for the stand-in game in GAME-FOLDER to finish its game script (its own output has gone
# to the terminal as it played), then shows what the offline storefront beside it now holds.
#   show-game-session.sh BUILD-DIR GAME-FOLDER
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$1 game=$2
transcript=$game/vorlan_output.txt
if [ ! -f "$game/vorlan_started.txt" ]; then
  echo "the game was not started: no game session to show"
  exit 0
fi
calls=$(grep -cvE '^\s*(#|$)' "$game/vorlan_script.txt")
answered() { grep -c '^  -> raw' "$transcript" 2>/dev/null || true; }
# Five minutes at most: the game may run in an emulated machine, many times slower.
deadline=$((SECONDS + 300))
until [ "$(answered)" -ge "$calls" ] || grep -q '^error:' "$transcript" 2>/dev/null || [ $SECONDS -ge $deadline ]; do
  sleep 0.1
done
if [ ! -f "$transcript" ]; then
  echo "the game did not run its script (no $transcript)"
  exit 1
fi
if [ "$(answered)" -lt "$calls" ]; then
  echo "the game's script did not finish; its transcript ($transcript):"
  cat "$transcript"
  exit 1
fi
echo "== the game answered all $calls calls of its script (transcript: $transcript)"
echo "== the offline storefront afterwards"
(cd "$game" && "$repo/tools/wine-run" "$build/standins/steam_api/storefront.exe" show storefront_state.json | tr -d '\r')
