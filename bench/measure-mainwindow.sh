#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The main window's figures:
#   start-up       - from starting calvyx to its first shown (painted) main window, the
#                    median of several runs (target < 500 ms), offscreen and, when Xvfb
#                    is there, on a virtual X display
#   responsiveness - the longest hold-up of the event loop while the calculator pushes a
#                    300 KB file through the Kermit server (target < 100 ms)
# Usage: bench/measure-mainwindow.sh [build-dir]     (RUNS=9 by default)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
runs=${RUNS:-9}
[[ -x $build/app/calvyx ]] || cmake --build "$build" --target calvyx
[[ -x $build/bench/bench_mainwindow_responsiveness ]] || cmake --build "$build" --target bench_mainwindow_responsiveness
. "$top/tools/lib/session.sh"
work=$(mktemp -d /tmp/calvyx-bench-XXXXXX)
trap 'session_stop_display; rm -rf "$work"' EXIT
session_init "$work"
session_settings "$work" "$work/calc"
status=0

# startup PLATFORM: prints the median wall time over $runs runs.
startup() {
  local times=() i t0 t1 out
  for i in $(seq 1 "$runs"); do
    rm -f "$XDG_RUNTIME_DIR/calvyxstartupmutex"
    t0=$(date +%s%N)
    out=$(QT_QPA_PLATFORM=$1 CALVYX_EXIT_AFTER_SHOW=1 timeout 20 "$build/app/calvyx" QVxT0+)
    t1=$(date +%s%N)
    grep -q "first paint" <<<"$out" || { echo "calvyx did not show its window ($1)" >&2; return 1; }
    times+=($(( (t1 - t0) / 1000000 )))
  done
  local sorted=($(printf '%s\n' "${times[@]}" | sort -n))
  local median=${sorted[$((runs / 2))]}
  local verdict=met
  [ "$median" -lt 500 ] || { verdict="NOT met"; status=1; }
  echo "start-up to first shown window ($1): median ${median} ms of $runs runs [${times[*]}] (target < 500 ms): $verdict"
}

startup offscreen || status=1
unset DISPLAY
if session_display "$work" 2>/dev/null; then
  startup xcb || status=1
fi
unset DISPLAY
QT_QPA_PLATFORM=offscreen "$build/bench/bench_mainwindow_responsiveness" --kbytes 300 || status=1
exit $status
