#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine needs to build, run and test the project. Safe to run
# again: it only installs what is still missing. What the shipped 32-bit binaries run on depends
# on the kernel (tools/runs-32bit-code.sh; RUNS_32BIT_CODE passes on a caller's answer): where it
# runs 32-bit programs, 32-bit Wine on this machine; where it does not, an emulated machine
# (tools/emulated-machine.sh), for which the emulator and debootstrap are installed here instead.
set -euo pipefail
tools=$(cd "$(dirname "$0")" && pwd)

# Compilers for the host and both Windows targets, the test and benchmark libraries, 64-bit Wine
# and the virtual display with what inspects and photographs it, and what signs a release
# (Authenticode), makes the tests' throwaway certificate and lists a release's zip.
packages=(
  cmake make g++ clang lld llvm libclang-rt-14-dev
  g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  googletest libbenchmark-dev nlohmann-json3-dev
  wine wine64 xvfb x11-utils imagemagick python3
  osslsigncode openssl unzip
)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
updated=false
install() {
  local missing=() package
  for package in "$@"; do installed "$package" || missing+=("$package"); done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "bootstrap: installing ${missing[*]}"
  $updated || as_root apt-get update -qq
  updated=true
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

install "${packages[@]}"
if "$tools/runs-32bit-code.sh"; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
    updated=false
  fi
  install wine32:i386
  # The emulated machine, when asked for: the emulator and what makes its disk.
  if [ "${SHIPPED_LANE:-}" = emulated ]; then install qemu-system-x86 debootstrap e2fsprogs; fi
else
  # The emulated machine: the emulator, what makes its disk, and a user-mode emulator for the
  # 32-bit package scripts that run while it is made.
  install qemu-system-x86 debootstrap e2fsprogs qemu-user-static
fi
