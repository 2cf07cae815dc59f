#!/usr/bin/env bash
# A virtual display with a Wine prefix of its own, so that window tests neither need a screen nor
# share a Wine server with anything else.
#   window-session.sh start :N PREFIX   start Xvfb on :N and a Wine server for PREFIX (created
#                                       on first use), and wait until both answer
#   window-session.sh stop :N PREFIX    stop both
set -euo pipefail
action=$1 display=$2 prefix=$3
tools=$(dirname "$0")/../../tools
source "$tools/wine-env.sh"
export WINEPREFIX=$prefix DISPLAY=$display
pidfile=$prefix.xvfb.pid

case "$action" in
  start)
    if ! xdpyinfo >/dev/null 2>&1; then
      setsid Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
      echo $! >"$pidfile"
      deadline=$((SECONDS + 120))  # generous: the machine may be an emulated one
      until xdpyinfo >/dev/null 2>&1 || [ $SECONDS -ge $deadline ]; do sleep 0.1; done
    fi
    xdpyinfo >/dev/null
    "$tools/wine-prefix.sh"
    # One server for the whole session: no start-up racing a server that is shutting down.
    # Its helper processes start here, away from the output pipes of the tests.
    setsid "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
    "$WINELOADER" wineboot </dev/null >/dev/null 2>&1
    ;;
  stop)
    "$WINESERVER" -k 2>/dev/null || true
    if [ -f "$pidfile" ]; then
      kill "$(cat "$pidfile")" 2>/dev/null || true
      rm -f "$pidfile"
    fi
    ;;
  *) echo "usage: $0 start|stop :N PREFIX" >&2; exit 2 ;;
esac
