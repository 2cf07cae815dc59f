#!/usr/bin/env bash
# Creates the Wine prefix $WINEPREFIX for $WINEARCH (see wine-env.sh) when it is not ready yet:
# no crash dialog waiting for a click, 96 dots per inch (15 twips a pixel), windows that no window
# manager looks after (there is none: Wine draws the frames itself, so screenshots show them, and
# does not wait two seconds for a window manager to let each closed window go), and services given
# ten minutes to start instead of ten seconds (under emulation they need more). Safe to run again
# and from several processes at once: the others wait for the one that creates it.
# A prefix is ready once .prefix-ready exists in it. With WINE_PREFIX_TEMPLATE naming a prefix this
# script made, that one is copied instead (the emulated machine keeps one, made once, since
# creating a prefix there takes minutes). Run before any persistent Wine server of the prefix
# starts: it waits for the server to end.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
ready=$WINEPREFIX/.prefix-ready
[ -f "$ready" ] && exit 0
mkdir -p "$WINEPREFIX"
exec 9>"$WINEPREFIX/.prefix-lock"
flock 9
[ -f "$ready" ] && exit 0
if [ -n "${WINE_PREFIX_TEMPLATE:-}" ]; then
  # Without the template's marks: the prefix is not ready before all of it is there.
  tar -C "$WINE_PREFIX_TEMPLATE" --exclude=./.prefix-ready --exclude=./.prefix-lock -cf - . | tar -C "$WINEPREFIX" -xpf -
else
  "${wine_loader[@]}" wineboot --init >/dev/null 2>&1
  "$WINESERVER" -w
  setting() { "${wine_loader[@]}" reg add "$@" /f >/dev/null 2>&1; }
  setting 'HKLM\System\CurrentControlSet\Control' /v ServicesPipeTimeout /t REG_SZ /d 600000
  setting 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
  setting 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96
  setting 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N
  setting 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
  "$WINESERVER" -w
fi
touch "$ready"
