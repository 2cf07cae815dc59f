#!/usr/bin/env bash
# Usage: release_plays.sh BUILD-DIR RELEASE-DIR VERSION
# Takes the release zip in RELEASE-DIR as a player gets it: unpacks it into a fresh game folder and
# checks that it holds exactly what ships (Starter.exe, kelvo.dll), SHA256SUMS that the files
# match and RELEASE.txt naming VERSION and a commit. Then, with the stand-in game, the offline
# storefront and the sample game's files beside them, it takes the player's path under Wine on the
# current display: Starter.exe, "Video Setup", "Window mode", "Play"; the game hosts the unpacked
# kelvo.dll and plays the sample game script; the storefront must then hold what the script
# reported. BUILD-DIR provides the stand-ins and the program that drives the window.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd) release=$(cd "$2" && pwd) version=$3
zips=("$release"/*.zip)
[ ${#zips[@]} -eq 1 ] && [ -f "${zips[0]}" ] || { echo "FAIL: not one zip in $release: ${zips[*]}"; exit 1; }

game=$(mktemp -d)
trap 'rm -rf "$game"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

(cd "$game" && cmake -E tar xf "${zips[0]}")
files=$(cd "$game" && LC_ALL=C ls -A | tr '\n' ' ')
[ "$files" = "RELEASE.txt SHA256SUMS Starter.exe kelvo.dll " ] || fail "the zip holds: $files"
summed=$(cut -d' ' -f3- "$game/SHA256SUMS" | LC_ALL=C sort | tr '\n' ' ')
[ "$summed" = "Starter.exe kelvo.dll " ] || fail "SHA256SUMS names: $summed"
(cd "$game" && sha256sum --check --strict SHA256SUMS) || fail "the files do not match SHA256SUMS"
sed -n 1p "$game/RELEASE.txt" | grep -q " $version\$" || fail "RELEASE.txt does not name version $version: $(cat "$game/RELEASE.txt")"
sed -n 2p "$game/RELEASE.txt" | grep -Eq '^commit ([0-9a-f]{40}|unknown: .*)$' || fail "RELEASE.txt names no commit: $(cat "$game/RELEASE.txt")"

# The rest of the game's folder: the stand-in game, the offline storefront with the sample state,
# the sample game script, settings and start-up sound.
cp "$build/standins/vorlan/vorlan.exe" "$build/standins/steam_api/steam_api.dll" "$game/"
cp "$repo/tools/sample-game/"{vorlan_script.txt,storefront_state.json,xconfig.dat,vorlan2.wav} "$game/"
mkdir "$game/screenshots"
# Without a sound card, Wine's sound driver complains on standard error. The game inherits the
# visit's output and writes its own into it as it plays, so how the game was started is read from
# the record it keeps, not from that output.
if visit=$("$repo/tools/wine-run" "$build/tests/launcher/starter_tour.exe" "$game" "$game/screenshots" 2> >(grep -v '^ALSA lib' >&2)); then
  echo "$visit"
  grep -q '^command line=vorlan.exe ' "$game/vorlan_started.txt" || fail "the game did not start from Starter.exe"
else
  fail "the visit to Starter.exe failed: $visit"
fi
if session=$("$repo/tools/show-game-session.sh" "$build" "$game"); then
  echo "$session"
  # The sample script unlocks ACH_WIN_ONE_GAME, sets NumGames to 5120 and posts the player's 1234
  # to "Level3"; the sample state starts with none of them.
  grep -qx '  \[x\] ACH_WIN_ONE_GAME' <<<"$session" || fail "ACH_WIN_ONE_GAME is not unlocked"
  grep -qx '  NumGames = 5120 (int)' <<<"$session" || fail "NumGames is not 5120"
  sed -n '/^  Level3 /,/^  [^ ]/p' <<<"$session" | grep -q '^    [0-9]*\. account 1000: 1234$' ||
    fail "Level3 holds no score 1234 of the player"
else
  fail "the game did not play its script: $session"
fi

[ $failures -eq 0 ] && echo "release $(basename "${zips[0]}"): unpacked, checked and played"
exit $((failures > 0))
