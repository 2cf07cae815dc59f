#!/usr/bin/env bash
# Builds what ships in the game folder (the build's shipped_binaries.txt) twice for each PRESET and
# fails unless both builds give the same bytes. The two builds differ in what must not matter: the
# source folder and the build folder (paths of other lengths), the time (the second build of a
# preset starts at least a minute after the first), and the time zone. It also fails when a binary
# holds the path of a source or build folder.
#   reproducible_build.sh PRESET...
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
[ $# -gt 0 ] || { echo "usage: $0 PRESET..." >&2; exit 2; }
presets=("$@")
work=$(mktemp -d /tmp/reproducible-build.XXXXXX)
trap 'rm -rf "$work"' EXIT
gap=60

# Two copies of the source tree as it stands, without its builds and its history.
first=$work/a
second=$work/second-copy/of-the-source
for copy in "$first" "$second"; do
  mkdir -p "$copy"
  tar -C "$repo" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf -
done

# build SOURCE PRESET FOLDER: configures the preset from SOURCE into FOLDER and builds the shipped
# targets; the output goes to FOLDER.log, shown when it fails.
build() {
  local source=$1 preset=$2 folder=$3
  mkdir -p "$(dirname "$folder")"
  if ! { (cd "$source" && cmake --preset "$preset" -B "$folder") &&
    cmake --build "$folder" -j "$(nproc)" --target $(cut -d' ' -f1 "$folder/shipped_binaries.txt"); } \
    >"$folder.log" 2>&1; then
    tail -n 40 "$folder.log"
    echo "reproducible build: the $preset build in $folder failed"
    exit 1
  fi
}

declare -A started
for preset in "${presets[@]}"; do
  started[$preset]=$(date +%s)
  echo "== $preset, first build at $(date -d "@${started[$preset]}" +%T) in $first/build/$preset"
  TZ=UTC build "$first" "$preset" "$first/build/$preset"
done
for preset in "${presets[@]}"; do
  while [ "$(date +%s)" -lt $((started[$preset] + gap)) ]; do sleep 1; done
  echo "== $preset, second build at $(date +%T) in $second/out/$preset-release (time zone +05:45)"
  TZ=Asia/Kathmandu build "$second" "$preset" "$second/out/$preset-release"
done

status=0
for preset in "${presets[@]}"; do
  while read -r target file; do
    other=$(sed -n "s/^$target //p" "$second/out/$preset-release/shipped_binaries.txt")
    sums=$(sha256sum "$file" "$other" | cut -d' ' -f1)
    verdict=same
    if [ "$(sort -u <<<"$sums" | wc -l)" -ne 1 ]; then
      verdict="DIFFERENT ($( (cmp -l "$file" "$other" || true) | wc -l) bytes differ)"
      status=1
    fi
    echo "$preset $(basename "$file"): $(echo $sums) $verdict"
    for binary in "$file" "$other"; do
      if grep -q -a -F "$work" "$binary"; then
        echo "$binary holds a folder path: $(strings "$binary" | grep -F "$work" | head -3)"
        status=1
      fi
    done
  done <"$first/build/$preset/shipped_binaries.txt"
done
if [ $status -eq 0 ]; then
  echo "reproducible: every shipped binary of ${presets[*]} is the same in both builds"
else
  echo "NOT reproducible"
fi
exit $status
