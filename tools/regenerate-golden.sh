#!/usr/bin/env bash
# Rewrites the golden files of game-flow cases (tests/gameflow/cases/<case>/expected_*; see
# tests/kit/game_flow.h) from a real run against the MinGW storefront, then runs the
# same cases against both storefront faces to check them. Golden files change only this way, by
# a reviewed `git diff tests/gameflow/cases`.
#   tools/regenerate-golden.sh [--preset windows|mirror] [CASE...]   (default: windows, every case)
set -euo pipefail
cd "$(dirname "$0")/.."
preset=windows
if [ "${1:-}" = --preset ]; then preset=$2; shift 2; fi
case "$preset" in
  windows | mirror) ;;
  *) echo "regenerate-golden.sh: the preset must be windows or mirror, not \"$preset\"" >&2; exit 2 ;;
esac
cases=("$@")
if [ ${#cases[@]} -eq 0 ]; then
  for folder in tests/gameflow/cases/*/; do cases+=("$(basename "$folder")"); done
fi
for case in "${cases[@]}"; do
  [[ "$case" =~ ^[A-Za-z0-9_]+$ ]] && [ -d "tests/gameflow/cases/$case" ] \
    || { echo "regenerate-golden.sh: no game-flow case \"$case\" in tests/gameflow/cases" >&2; exit 2; }
done
names=$(IFS='|'; echo "${cases[*]}")

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j 2 >/dev/null
echo "== recording ${#cases[@]} case(s) from the $preset build"
GAME_FLOW_RECORD=1 ctest --preset "$preset" -R "^gameflow\.($names)\$"
echo "== checking them against both storefront faces"
ctest --preset "$preset" -R "^gameflow\.($names)(\.msabi)?\$"
echo "== what changed; review it before committing:"
git status --short tests/gameflow/cases
git diff --stat tests/gameflow/cases
