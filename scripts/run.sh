#!/usr/bin/env bash
# Installs what is missing, builds the program alone, and starts it. The database file lives beside the
# program, in build/. Without a display the program runs in a virtual one: a screenshot of the reception
# board is saved and the program is ended cleanly.
#
# --demo: starts the program on a demo agency instead, in demo/ beside build/ (made once by the demo
# generator; on every later start its board is brought up to now if it has gone stale).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
demo=false
if [ "${1:-}" = "--demo" ]; then
  demo=true
elif [ $# -gt 0 ]; then
  echo "usage: $0 [--demo]" >&2
  exit 2
fi

"$top/scripts/setup.sh" run
program="$top/build/rosterpad"
shot="$top/screenshots/board.png"
if $demo; then
  "$top/scripts/build.sh" rosterpad rosterpad_demo
  "$top/build/rosterpad_demo" "$top/demo"
  # The program keeps its database beside itself: a copy of it in demo/ works on the demo's file.
  # Renamed into place, so that a copy already running there keeps its own.
  install -m 755 "$program" "$top/demo/rosterpad.new"
  mv -f "$top/demo/rosterpad.new" "$top/demo/rosterpad"
  program="$top/demo/rosterpad"
  shot="$top/screenshots/demo-board.png"
else
  "$top/scripts/build.sh" rosterpad
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$program"
fi

mkdir -p "$(dirname "$shot")"
display=":$((90 + RANDOM % 9))"
Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY="$display" "$program" &
app=$!
# The end-time warning shows from the first tick of its timer, ten seconds in.
$demo && sleep 10
sleep 5
DISPLAY="$display" import -window root "$shot"
kill -TERM "$app"
wait "$app"
status=$?
echo "No display here: rosterpad ran in a virtual display (1366x768)."
echo "Screenshot of the reception board: $shot"
exit $status
