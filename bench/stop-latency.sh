#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Stop latency of `calvyx-cli serve` on a silent line: the time from SIGINT to the
# program's exit while its idle read waits, on a serial line (the virtual calculator's
# pseudo-terminal) and on the USB pipe device; and of `calvyx-cli rom` while its write
# waits for a calculator that takes no data. Target: within 150 ms on all.
# Usage: bench/stop-latency.sh [build-dir]      (RUNS=5 per link kind)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
cli="$build/tools/calvyx-cli"
sim="$build/tools/calvyx-sim"
runs=${RUNS:-5}
source "$top/tests/scripts/lib/common.bash"
mkdir -p "$work/served"

measure() { # kind (pty or usb): prints one latency in ms
  local kind=$1 opts=()
  [ "$kind" = usb ] && opts=(--usb)
  "$sim" usb "${opts[@]}" >"$work/sim.log" 2>"$work/sim-err.log" &
  local simpid=$!
  local port=""
  for _ in $(seq 50); do port=$(head -n1 "$work/sim.log" 2>/dev/null || true); [ -n "$port" ] && break; sleep 0.1; done
  [ -n "$port" ] || { echo "FAIL: the simulator printed no port" >&2; exit 1; }
  "$cli" serve --port "$port" --dir "$work/served" >"$work/serve.log" 2>&1 &
  local servepid=$!
  for _ in $(seq 100); do grep -q "^Serving" "$work/serve.log" && break; sleep 0.1; done
  grep -q "^Serving" "$work/serve.log" || { echo "FAIL: serve did not start on $port" >&2; cat "$work/serve.log" >&2; exit 1; }
  # Well inside an idle read (the serial one waits up to 3 s).
  sleep 1.3
  local t0 t1
  t0=$(date +%s%N)
  kill -INT "$servepid"
  local rc=0
  wait "$servepid" || rc=$?
  t1=$(date +%s%N)
  grep -q "^Stopped" "$work/serve.log" || { echo "FAIL: serve exited $rc without stopping cleanly" >&2; cat "$work/serve.log" >&2; exit 1; }
  kill -TERM "$simpid" 2>/dev/null || true
  wait "$simpid" 2>/dev/null || true
  echo $(( (t1 - t0) / 1000000 ))
}

measure_rom() { # kind (pty or usb): prints one latency in ms
  local kind=$1 opts=(--hold)
  [ "$kind" = usb ] && opts=(--usb --hold)
  "$sim" "$kind" "${opts[@]}" >"$work/sim.log" 2>"$work/sim-err.log" &
  local simpid=$!
  local port=""
  for _ in $(seq 50); do port=$(head -n1 "$work/sim.log" 2>/dev/null || true); [ -n "$port" ] && break; sleep 0.1; done
  [ -n "$port" ] || { echo "FAIL: the simulator printed no port" >&2; exit 1; }
  "$cli" rom --port "$port" "$work/os.bin" >"$work/rom.log" 2>&1 &
  local rompid=$!
  # Well inside the stalled write (the calculator reads nothing).
  sleep 2
  kill -0 "$rompid" 2>/dev/null || { echo "FAIL: rom ended before the stop" >&2; cat "$work/rom.log" >&2; exit 1; }
  local t0 t1
  t0=$(date +%s%N)
  kill -INT "$rompid"
  local rc=0
  wait "$rompid" || rc=$?
  t1=$(date +%s%N)
  [ "$rc" -eq 130 ] || { echo "FAIL: rom exited $rc after SIGINT" >&2; cat "$work/rom.log" >&2; exit 1; }
  kill -TERM "$simpid" 2>/dev/null || true
  wait "$simpid" 2>/dev/null || true
  echo $(( (t1 - t0) / 1000000 ))
}
head -c 1048576 /dev/urandom >"$work/os.bin"

printf '%-11s %s\n' link "stop latency per run (ms)"
worst=0
for kind in pty usb; do
  figures=()
  for _ in $(seq "$runs"); do
    ms=$(measure "$kind") || exit 1
    figures+=("$ms")
    [ "$ms" -gt "$worst" ] && worst=$ms
  done
  label=serial; [ "$kind" = usb ] && label=usb
  printf '%-11s %s\n' "$label" "${figures[*]}"
done
for kind in pty usb; do
  figures=()
  for _ in $(seq "$runs"); do
    ms=$(measure_rom "$kind") || exit 1
    figures+=("$ms")
    [ "$ms" -gt "$worst" ] && worst=$ms
  done
  label="rom/serial"; [ "$kind" = usb ] && label="rom/usb"
  printf '%-11s %s\n' "$label" "${figures[*]}"
done
echo "worst: $worst ms (target 150 ms)"
[ "$worst" -le 150 ]
