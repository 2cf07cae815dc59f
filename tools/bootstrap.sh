#!/usr/bin/env bash
# Installs everything a fresh Debian 12 machine needs to build, run and test the project, and
# creates the Wine prefix. Safe to run again: it only does what is still missing.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

packages=(
  cmake make g++ g++-multilib clang lld llvm libclang-rt-14-dev
  g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  googletest libbenchmark-dev:i386 nlohmann-json3-dev
  wine wine32:i386 xvfb xauth x11-utils xdotool imagemagick python3
)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "bootstrap: creating the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1
  wineserver -w
  # No crash dialog waiting for a click; 96 dots per inch, 15 twips a pixel.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
  wineserver -w
fi
