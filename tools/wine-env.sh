# Sourced by the tools: the Wine of one lane, quiet and without install prompts.
#   WINEARCH    win32 (the shipped 32-bit programs; the default) or win64 (their x86_64 mirror)
#   WINEPREFIX  default build/wineprefix-$WINEARCH
# WINELOADER and WINESERVER name that architecture's loader and server; start Wine only through
# them, the loader as "${wine_loader[@]}". /usr/bin/wine prefers the i386 loader whenever it is
# installed, and a machine that runs only 64-bit code cannot start that.
repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEARCH="${WINEARCH:-win32}"
case "$WINEARCH" in
  win32) export WINELOADER=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver32 ;;
  win64) export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64 ;;
  *) echo "wine-env.sh: WINEARCH is \"$WINEARCH\"; it must be win32 or win64" >&2; exit 2 ;;
esac
export WINEPREFIX="${WINEPREFIX:-$repo_root/build/wineprefix-$WINEARCH}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Wine's loader lies at a fixed address (0x7d000000) with its heap after it. The kernel's address
# randomization starts that heap anywhere in the next GiB (32 MiB on older kernels), and about one
# start in several thousand it covers 0x7ffe0000, where every Windows process needs its shared
# system page: the program then dies before it runs ("failed to map the shared user data"; a
# CreateProcess of it fails with ERROR_INTERNAL_ERROR). So Wine starts without randomization, the
# heap right after the loader, and every process it starts inherits that.
wine_loader=(setarch "$(uname -m)" --addr-no-randomize "$WINELOADER")
