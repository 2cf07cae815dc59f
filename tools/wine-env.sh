# Sourced by the tools: the Wine of one lane, quiet and without install prompts.
#   WINEARCH    win32 (the shipped 32-bit programs; the default) or win64 (their x86_64 mirror)
#   WINEPREFIX  default build/wineprefix-$WINEARCH
# WINELOADER and WINESERVER name that architecture's loader and server; start Wine only through
# them. /usr/bin/wine prefers the i386 loader whenever it is installed, and a machine that runs
# only 64-bit code cannot start that.
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
