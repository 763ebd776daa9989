#!/usr/bin/env bash
# Runs a command on its own X server (Xvfb, 1280 x 1024) under the openbox
# window manager, with Qt on the xcb platform. Exits 77, which CTest counts as
# skipped, only when Xvfb cannot start here.
# Usage: scripts/with-window-manager.sh COMMAND [ARGUMENTS...]
set -u
work="$(mktemp -d)"
xvfb="" wm=""
cleanup() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Waits up to 10 s for a condition, checking every 50 ms.
wait_until() {
  for _ in $(seq 200); do
    eval "$1" && return 0
    sleep 0.05
  done
  return 1
}

if command -v Xvfb >/dev/null; then
  # The server picks a free display and writes its number once it accepts clients.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb=$!
  wait_until '[ -s "$work/display" ] || ! kill -0 $xvfb 2>/dev/null'
fi
if [ ! -s "$work/display" ]; then
  echo "SKIPPED: the window-manager tests need Xvfb, which could not start here:"
  cat "$work/xvfb.log" 2>/dev/null | head -5
  exit 77
fi
export DISPLAY=":$(cat "$work/display")"

openbox --sm-disable --startup "touch $work/ready" >"$work/openbox.log" 2>&1 &
wm=$!
if ! wait_until '[ -e "$work/ready" ]'; then
  echo "openbox did not start:" >&2
  cat "$work/openbox.log" >&2
  exit 1
fi

QT_QPA_PLATFORM=xcb "$@"
