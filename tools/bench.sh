#!/usr/bin/env bash
# Builds the optimised host build (bench preset) and the Windows binaries, then prints every
# performance figure, each against a baseline measured in the same run:
#   1. the plug-in's export layer: time per export call against the same storefront call made
#      directly (Google Benchmark, in the x86_64 host build), and the nanoseconds it adds;
#   2. Load Config: time per byte at 1 KiB, 1 MiB and 16 MiB, and the 16 MiB / 1 KiB ratio;
#   3. Starter.exe under 64-bit Wine (the mirror lane, which runs on every machine): process start
#      to visible window, against a minimal window program built the same way (median of RUNS
#      starts each, taking turns);
#   4. the sizes of the shipped kelvo.dll and Starter.exe (i686) against their budgets, and the
#      DLLs they import.
#   tools/bench.sh [RUNS]          (default 31)
# BENCH_BUILD_DIR, MIRROR_BUILD_DIR and WINDOWS_BUILD_DIR choose other build folders than the
# presets' own.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
runs=${1:-31}
bench_build=${BENCH_BUILD_DIR:-build/bench}
windows_build=${WINDOWS_BUILD_DIR:-build/windows}
mirror_build=${MIRROR_BUILD_DIR:-build/mirror}

cmake --preset bench -B "$bench_build" >/dev/null
cmake --build "$bench_build" -j 2 --target export_call_benchmark load_config_benchmark >/dev/null
cmake --preset windows -B "$windows_build" >/dev/null
cmake --build "$windows_build" -j 2 --target Starter kelvo >/dev/null
cmake --preset mirror -B "$mirror_build" >/dev/null
cmake --build "$mirror_build" -j 2 --target Starter minimal_window window_start_timer >/dev/null

echo "== 1. Export layer: cost per call through the exported function (native x86_64, Release)"
"$bench_build/plugin/bench/export_call_benchmark" --benchmark_min_time=0.2
echo
echo "== 2. Load Config: time per byte"
"$bench_build/launcher/bench/load_config_benchmark"
echo
echo "== 3. Starter.exe (x86_64) under 64-bit Wine: process start to visible window ($runs starts each)"
sync  # the builds' files are written out before the timing, not during it
# A display and Wine prefix of the benchmark's own, with the sample game's files beside each program.
export WINEARCH=win64
prefix=$repo/build/bench-wineprefix-$WINEARCH display_file=$repo/build/bench-display
trap 'tools/wine-session.sh stop "$prefix" "$display_file"' EXIT
tools/wine-session.sh start "$prefix" "$display_file"
display=$(cat "$display_file")
folder=$repo/build/bench-start
rm -rf "$folder" && mkdir -p "$folder/starter" "$folder/minimal"
cp "$mirror_build/launcher/Starter.exe" tools/sample-game/xconfig.dat tools/sample-game/vorlan2.wav "$folder/starter/"
cp "$mirror_build/launcher/bench/minimal_window.exe" "$folder/minimal/"
DISPLAY=$display WINEPREFIX=$prefix tools/wine-run "$mirror_build/launcher/bench/window_start_timer.exe" "$runs" \
  "Z:$folder/minimal/minimal_window.exe" "Z:$folder/minimal/minimal_window.exe text" \
  "Z:$folder/starter/Starter.exe" | tr -d '\r' | tee "$folder/times.txt"
awk '$1 == "minimal_window.exe" && $2 == "text" { text = $3 } $1 == "Starter.exe" { starter = $2 }
     END { printf "Starter.exe against minimal_window.exe text: %.2f\n", starter / text }' "$folder/times.txt"
echo "(ratio: median against minimal_window.exe; target for Starter.exe at most 1.3)"
echo
echo "== 4. Shipped binaries (i686): size and imported DLLs"
objdump=$(sed -n 's/^CMAKE_OBJDUMP:FILEPATH=//p' "$windows_build/CMakeCache.txt")  # the build's own
for binary in "$windows_build/plugin/kelvo.dll" "$windows_build/launcher/Starter.exe"; do
  imports=$("$objdump" -p "$binary" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')
  printf '%-12s %9d bytes  imports: %s\n' "$(basename "$binary")" "$(stat -c %s "$binary")" "$imports"
done
# Against their budgets: the packaging tests' own commands, read from the build's test lists
# (ctest itself would first list the Windows test programs' cases under Wine).
grep -rh --include=CTestTestfile.cmake 'check_size\.sh' "$windows_build" | sed 's/^add_test([^ ]* //; s/)$//; s/"//g' |
  while read -r check binary budget; do "$check" "$binary" "$budget" || true; done
