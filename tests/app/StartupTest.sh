#!/bin/bash
# How tintwell starts from a shell: usage errors, answers that need no display,
# a missing or unreachable display, and no Qt noise without XDG_RUNTIME_DIR.
# Usage: StartupTest.sh PROGRAM
set -u
program=$1 tmp=$(mktemp -d) status=0
trap 'rm -rf "$tmp"' EXIT

# CASE: NAME EXPECTED_STATUS STDERR_PATTERN (extended regex, "" for no output) ENV... -- ARGS...
check() {
  local name=$1 want=$2 pattern=$3 env=()
  shift 3
  while [ "$1" != -- ]; do env+=("$1"); shift; done
  shift
  env -u XDG_RUNTIME_DIR -u QT_QPA_PLATFORM "${env[@]}" HOME="$tmp" timeout 20 "$program" "$@" \
    >"$tmp/out" 2>"$tmp/err" </dev/null
  local got=$? lines
  lines=$(wc -l <"$tmp/err")
  if [ "$got" != "$want" ] || { [ -z "$pattern" ] && [ "$lines" != 0 ]; } ||
     { [ -n "$pattern" ] && { [ "$lines" != 1 ] || ! grep -Eq "$pattern" "$tmp/err"; }; }; then
    echo "FAILED: $name: exit $got (expected $want), standard error:" >&2
    sed 's/^/  | /' "$tmp/err" >&2
    status=1
  fi
}

check "unknown option" 2 "^tintwell: Unknown option 'bogus'\." DISPLAY= -- --bogus
check "unknown option with a display" 2 "^tintwell: Unknown option 'x'\." QT_QPA_PLATFORM=offscreen -- -x a
check "--help without a display" 0 "" DISPLAY= -- --help
check "--help without DISPLAY at all" 0 "" -u DISPLAY -- --help
check "--version with an unreachable display" 0 "" DISPLAY=:97 -- --version
check "no display" 1 "^tintwell: no display to open the window on" DISPLAY= -- "$tmp"
check "an unreachable display" 1 'cannot open the window: the display ":97" cannot be reached' \
  DISPLAY=:97 -- "$tmp"
# Regression: SIGTERM killed the window; it closes it as its close button does
# (exit 0, its placement written). A copy runs, so the settings land in $tmp.
mkdir "$tmp/app" && cp "$program" "$tmp/app/"
env -u XDG_RUNTIME_DIR QT_QPA_PLATFORM=offscreen HOME="$tmp" "$tmp/app/tintwell" \
  "$tmp/app" >/dev/null 2>&1 &
pid=$!
for ((i = 0; i < 200; i++)); do  # until the program catches SIGTERM
  mask=$(awk '/^SigCgt/ { print $2 }' "/proc/$pid/status" 2>/dev/null)
  [ -n "$mask" ] && (((16#$mask >> 14) & 1)) && break
  sleep 0.1
done
sleep 0.5
kill -TERM "$pid"
wait "$pid"
got=$?
if [ "$got" != 0 ] || [ -z "$(find "$tmp" -name Tintwell.ini)" ]; then
  echo "FAILED: SIGTERM: exit $got (expected 0), settings: $(find "$tmp" -name Tintwell.ini)" >&2
  status=1
fi
grep -qx "Tintwell [0-9.]*" <(env DISPLAY= "$program" --version) || {
  echo "FAILED: --version prints no version" >&2; status=1; }
exit $status
