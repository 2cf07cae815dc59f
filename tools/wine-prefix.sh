#!/usr/bin/env bash
# Creates the Wine prefix $WINEPREFIX for $WINEARCH (see wine-env.sh) when it is not ready yet:
# no crash dialog waiting for a click, 96 dots per inch (15 twips a pixel), and window frames
# drawn by Wine itself (there is no window manager, and screenshots show the frames). Safe to run
# again and from several processes at once: the others wait for the one that creates it.
# A prefix is ready once .prefix-ready exists in it; one made elsewhere with these settings (a
# copied template) is marked so by whoever copies it. Run before any persistent Wine server of the
# prefix starts: it waits for the server to end.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
ready=$WINEPREFIX/.prefix-ready
[ -f "$ready" ] && exit 0
mkdir -p "$WINEPREFIX"
exec 9>"$WINEPREFIX/.prefix-lock"
flock 9
[ -f "$ready" ] && exit 0
"$WINELOADER" wineboot --init >/dev/null 2>&1
"$WINESERVER" -w
"$WINELOADER" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
"$WINELOADER" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
"$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
"$WINESERVER" -w
touch "$ready"
