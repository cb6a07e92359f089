#!/usr/bin/env bash
# Runs a command on a private X display: Xvfb picks a free display number, a window manager
# (openbox) runs when installed, and both end with the command.
set -uo pipefail
numberFile=$(mktemp)
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$numberFile" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$numberFile" ] && break; sleep 0.05; done
display=$(tr -d '\n' <"$numberFile")
rm -f "$numberFile"
if [ -z "$display" ]; then echo "Xvfb did not start" >&2; kill "$xvfb" 2>/dev/null; exit 1; fi
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
wm=""
if [ "${TRESSALY_NO_WM:-}" = "" ] && command -v openbox >/dev/null; then
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  sleep 0.3
fi
"$@"
status=$?
[ -n "$wm" ] && kill "$wm" 2>/dev/null
kill "$xvfb" 2>/dev/null
wait 2>/dev/null
exit $status
