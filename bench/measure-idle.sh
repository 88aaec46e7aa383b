#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What the main window costs while nothing happens: connected to a calculator that says
# nothing (calvyx-sim on a pseudo-terminal), for SECONDS (default 30) after it settled,
#   quiet        - nothing else happens on the machine's folders
#   busy sibling - a writer makes, grows and removes files all the time in the folder
#                  above the window's transfer folder and in a folder beside it: folders
#                  the window does not show
# Each run prints the processor time used (% of one core, from /proc/PID/stat, all its
# threads, ended ones included) and the wake-ups a second (context switches of its
# threads, from /proc/PID/task/*/status). Targets: below 0.1 % of a core and
# WAKEUP_TARGET wake-ups a second (default 5) in both runs; exits 1 when one is missed.
# Timing-based, so no test runs it; run it on a machine that is otherwise quiet.
# Usage: bench/measure-idle.sh [build-dir]   (SECONDS_IDLE=30 SETTLE=5 PLATFORM=offscreen|xcb)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
duration=${SECONDS_IDLE:-30}
settle=${SETTLE:-5}
platform=${PLATFORM:-offscreen}
cpu_target=0.1
wakeup_target=${WAKEUP_TARGET:-5}
for target in calvyx calvyx-sim; do
  dir=app
  [[ $target == calvyx-sim ]] && dir=tools
  [[ -x $build/$dir/$target ]] || cmake --build "$build" --target "$target" >/dev/null
done
. "$top/tools/lib/session.sh"
# IDLE_ROOT: where the session's folders go (a busy /tmp above them counts too: the
# window shows its parents).
work=$(mktemp -d "${IDLE_ROOT:-${TMPDIR:-/tmp}}/calvyx-idle-XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  session_stop_display
  rm -rf "$work"
}
trap cleanup EXIT
session_init "$work"
# The transfer folder is a few levels down: the window shows its parents in the tree.
shown=$work/home/user/calculator
mkdir -p "$shown" "$work/home/user/downloads"
printf 'A' >"$shown/ANSWER.TXT"
session_settings "$work" "$shown"
if [[ $platform == xcb ]]; then
  unset DISPLAY
  session_display "$work" || exit 1
else
  export QT_QPA_PLATFORM=$platform
fi
hz=$(getconf CLK_TCK)

# ticks PID: user + system time of the whole process, in clock ticks.
ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }
# switches PID: "thread count" lines, its threads' voluntary + involuntary context
# switches now.
switches() {
  for task in /proc/"$1"/task/*; do
    awk -v t="${task##*/}" '/ctxt_switches/ { n += $2 } END { print t, n + 0 }' "$task/status" 2>/dev/null || true
  done
}
# woken BEFORE AFTER: the switches between two snapshots; a thread that came meanwhile
# counts from 0, one that ended counts no more.
woken() { awk 'NR == FNR { before[$1] = $2; next } { n += $2 - before[$1] } END { print n + 0 }' "$1" "$2"; }

# The calculator: a pseudo-terminal that stays silent until it is stopped.
"$build/tools/calvyx-sim" pty --hold >"$work/sim.out" 2>"$work/sim.err" &
pids+=($!)
wait_for 10 test -s "$work/sim.out" || { echo "calvyx-sim printed no port" >&2; cat "$work/sim.err" >&2; exit 1; }
port=$(head -n1 "$work/sim.out")

"$build/app/calvyx" "$port" >"$work/calvyx.log" 2>&1 &
calvyx=$!
pids+=($calvyx)
wait_for 20 test -S "$XDG_RUNTIME_DIR/calvyxstartupmutex.socket" || { echo "calvyx did not start" >&2; cat "$work/calvyx.log" >&2; exit 1; }

# The writer: a new file every 20 ms, in the folder above and beside the shown one, each
# grown and later removed, so the folders' entries and sizes change all the time.
writer() {
  local n=0
  while :; do
    for dir in "$work/home/user" "$work/home/user/downloads"; do
      printf 'x%.0s' $(seq 1 64) >>"$dir/part-$((n % 20)).tmp"
      [[ $((n % 20)) == 19 ]] && rm -f "$dir"/part-*.tmp
    done
    n=$((n + 1))
    sleep 0.02
  done
}

status=0
# measure NAME: settles, then measures the window for $duration s and prints a line.
measure() {
  sleep "$settle"
  kill -0 "$calvyx" 2>/dev/null || { echo "calvyx ended: $(cat "$work/calvyx.log")" >&2; exit 1; }
  local t0 t1 start end
  t0=$(ticks "$calvyx"); switches "$calvyx" >"$work/before"; start=$(date +%s%N)
  sleep "$duration"
  t1=$(ticks "$calvyx"); switches "$calvyx" >"$work/after"; end=$(date +%s%N)
  local figures
  figures=$(awk -v t=$((t1 - t0)) -v s="$(woken "$work/before" "$work/after")" -v ns=$((end - start)) -v hz="$hz" \
    -v cpu_target="$cpu_target" -v wake_target="$wakeup_target" 'BEGIN {
      secs = ns / 1e9; cpu = 100 * t / hz / secs; wake = s / secs
      verdict = (cpu < cpu_target && wake < wake_target) ? "met" : "NOT met"
      printf "%.3f %% of a core (%d ticks of 1/%d s in %.1f s), %.1f wake-ups/s (targets < %s %%, < %s/s): %s",
             cpu, t, hz, secs, wake, cpu_target, wake_target, verdict }')
  echo "idle, $1: $figures"
  [[ $figures == *": met" ]] || status=1
}

measure "quiet"
writer &
pids+=($!)
measure "busy sibling folders"
stop_calvyx "$calvyx" 10 >/dev/null || true
exit $status
