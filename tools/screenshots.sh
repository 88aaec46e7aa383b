#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Pictures of the main window in its three connection states, on a virtual X display,
# into docs/screenshots/: disconnected (no calculator), connected (the virtual calculator
# plugged in and idle), busy (a slow file push running). Needs a build (tools/build.sh).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${CALVYX_BUILD_DIR:-$top/build}
out=${1:-$top/docs/screenshots}
. "$top/tools/lib/session.sh"
# Under /var/tmp: the folder tree then shows few neighbours of the transfer folder.
work=$(mktemp -d /var/tmp/calvyx-shots-XXXXXX)
# Under set -e a failing kill (nothing left to end) would cut the trap short and leave
# Xvfb running and the folder behind.
trap 'kill -KILL ${calvyx:-} ${sim:-} 2>/dev/null || true; session_stop_display; rm -rf "$work"' EXIT
unset DISPLAY
session_init "$work"
mkdir -p "$work/calc/Calcapps" "$work/calc/Screens" "$out"
head -c 5000 /dev/urandom > "$work/calc/GRAPHS.QVA"
head -c 1200 /dev/urandom > "$work/calc/NOTES.QVA"
session_settings "$work" "$work/calc"
session_display "$work"
export CALVYX_SCREENSHOT=$work/shot.png

shot() { # NAME: the next picture taken after now
  rm -f "$work/shot.png"
  wait_for 5 test -s "$work/shot.png"
  sleep 1.2
  cp "$work/shot.png" "$out/$1.png"
  echo "saved $out/$1.png"
}

"$build/app/calvyx" QVxT0+ > "$work/calvyx.log" 2>&1 &
calvyx=$!
sleep 2
shot disconnected

head -c 30000 /dev/urandom > "$work/big.bin"
"$build/tools/calvyx-sim" demo --root "$CALVYX_DEVICE_ROOT" --steps push --push-name BIG.QVA \
  --push-file "$work/big.bin" --pause 4000 --throttle > "$work/sim.log" 2>&1 &
sim=$!
sleep 2.5
shot connected
sleep 4
shot busy
kill -TERM $sim 2>/dev/null || true
wait $sim 2>/dev/null || true
sim=
stop_calvyx $calvyx 10 || true
calvyx= # ended and reaped: the exit trap must not signal a number that may be reused
