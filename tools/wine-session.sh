#!/usr/bin/env bash
# A Wine session ready for programs: the prefix (tools/wine-prefix.sh), one persistent Wine server
# with its helper processes started here, away from the output pipes of the programs that follow
# (a program that starts while a server shuts down fails to connect, and each start would pay
# Wine's start-up again), and, when a display file is given, a virtual display of its own.
#   wine-session.sh start PREFIX [DISPLAY-FILE]
#       With DISPLAY-FILE, Xvfb takes a display number that no other X server uses and the
#       session's display name (":N") is written to DISPLAY-FILE, so runs never share a display.
#   wine-session.sh stop PREFIX [DISPLAY-FILE]
#       Ends PREFIX's Wine server and the Xvfb that start recorded in DISPLAY-FILE, nothing else.
# WINEARCH chooses the Wine (see wine-env.sh).
set -euo pipefail
tools=$(cd "$(dirname "$0")" && pwd)
[ $# -ge 2 ] && [ $# -le 3 ] || { echo "usage: $0 start|stop PREFIX [DISPLAY-FILE]" >&2; exit 2; }
action=$1 display_file=${3:-}
export WINEPREFIX=$2
source "$tools/wine-env.sh"
xvfb_file=$display_file.xvfb  # the Xvfb's process id and start time

# process_start PID: when the process started (clock ticks after boot): with its id, it names the
# process alone, even once the id has gone to another one.
process_start() { cut -d' ' -f22 "/proc/$1/stat" 2>/dev/null; }

# stop_display: ends the Xvfb this session started, if it still runs.
stop_display() {
  local pid started
  read -r pid started 2>/dev/null <"$xvfb_file" || return 0
  if [ -n "$started" ] && [ "$(process_start "$pid")" = "$started" ]; then kill "$pid"; fi
  rm -f "$xvfb_file" "$display_file"
}

# start_display: Xvfb on a free display (-displayfd: it writes the number it took once it accepts
# connections), its name to DISPLAY-FILE.
start_display() {
  stop_display
  local number_file number='' pid deadline
  number_file=$(mktemp)
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" </dev/null >/dev/null 2>&1 &
  pid=$!
  echo "$pid $(process_start "$pid")" >"$xvfb_file"
  deadline=$((SECONDS + 120))  # generous: the machine may be an emulated one
  until number=$(cat "$number_file") && [ -n "$number" ]; do
    if ! kill -0 "$pid" 2>/dev/null || [ $SECONDS -ge $deadline ]; then
      rm -f "$number_file"
      echo "wine-session.sh: Xvfb did not start a display" >&2
      stop_display
      exit 1
    fi
    sleep 0.1
  done
  rm -f "$number_file"
  export DISPLAY=:$number
  xdpyinfo >/dev/null
  echo "$DISPLAY" >"$display_file"
}

case "$action" in
  start)
    if [ -n "$display_file" ]; then
      start_display
      trap stop_display EXIT  # a session that did not start leaves no display behind
    fi
    "$tools/wine-prefix.sh"
    setsid "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
    "${wine_loader[@]}" wineboot </dev/null >/dev/null 2>&1
    trap - EXIT
    ;;
  stop)
    "$WINESERVER" -k 2>/dev/null || true
    if [ -n "$display_file" ]; then stop_display; fi
    ;;
  *) echo "usage: $0 start|stop PREFIX [DISPLAY-FILE]" >&2; exit 2 ;;
esac
