#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# calvyx-cli rom stopped by SIGTERM while the calculator takes no data: it ends at once
# (exit 130, "Interrupted: ..."), not after the stall limit, on the USB pipe device, on a
# serial line (a pseudo-terminal) and on a USB device reached through libusb (umockdev).
set -euo pipefail
build=${1:?usage: cli_rom_stop.sh BUILD_DIR}
cli="$build/tools/calvyx-cli"
sim="$build/tools/calvyx-sim"
source "$(dirname "$0")/lib/common.bash"
require_tools pgrep
fail() { echo "FAIL: $*"; for f in "$work"/*.log; do echo "--- $f"; cat "$f"; done; exit 1; }
mkdir -p "$work/root" "$work/tmp"
export CALVYX_DEVICE_ROOT="$work/root"
# umockdev keeps its test beds under TMPDIR: ours goes with the work folder.
export TMPDIR="$work/tmp"
# Far more than the FIFO or the pseudo-terminal holds.
head -c 1048576 /dev/urandom >"$work/os.bin"
# From SIGTERM to the exit: a stop ends a waiting write within about 100 ms; the rest is
# room for a busy machine (the stall limit is 30 s).
bound_ms=3000

for kind in usb pty; do
  opts=(--hold)
  [ "$kind" = usb ] && opts=(--usb --hold)
  # The calculator holds the port and reads nothing.
  "$sim" "$kind" "${opts[@]}" >"$work/sim-$kind.log" 2>"$work/sim-$kind.err.log" &
  simpid=$!
  pids+=($simpid)
  port=""
  for _ in $(seq 50); do port=$(head -n1 "$work/sim-$kind.log" 2>/dev/null || true); [ -n "$port" ] && break; sleep 0.1; done
  [ -n "$port" ] || fail "the simulator printed no port ($kind)"

  "$cli" rom --port "$port" "$work/os.bin" >"$work/rom-$kind.log" 2>&1 &
  rom=$!
  pids+=($rom)
  # A megabyte goes out within milliseconds when read; still running after this long,
  # the load waits for room.
  sleep 2
  kill -0 "$rom" 2>/dev/null || fail "calvyx-cli rom ended before the stop ($kind): the calculator took the stream?"
  t0=$(date +%s%N)
  kill -TERM "$rom"
  rc=0
  wait "$rom" || rc=$?
  ms=$(( ($(date +%s%N) - t0) / 1000000 ))
  [ "$rc" -eq 130 ] || fail "calvyx-cli rom exited $rc after SIGTERM ($kind), not 130"
  grep -q "^Interrupted: The ROM load was stopped" "$work/rom-$kind.log" || fail "no interruption message ($kind)"
  [ "$ms" -le "$bound_ms" ] || fail "calvyx-cli rom took $ms ms to end after SIGTERM ($kind); bound $bound_ms ms"
  echo "ok: rom stopped on a calculator that takes no data ($kind): $ms ms"
  kill -TERM "$simpid" 2>/dev/null || true
  wait "$simpid" 2>/dev/null || true
done

# Through libusb: the calculator holds what it took (64 KB) and then stops taking OUT
# packets; calvyx-cli is the simulator's child on the simulated bus.
"$sim" pty --hold --usb-device -- "$cli" rom --port usb:1e3a:0401 "$work/os.bin" >"$work/rom-libusb.log" 2>&1 &
simpid=$!
pids+=($simpid)
rom=""
for _ in $(seq 50); do rom=$(pgrep -P "$simpid" -x calvyx-cli || true); [ -n "$rom" ] && break; sleep 0.1; done
[ -n "$rom" ] || fail "the simulator started no calvyx-cli (libusb)"
sleep 2
kill -0 "$rom" 2>/dev/null || fail "calvyx-cli rom ended before the stop (libusb): the calculator took the stream?"
t0=$(date +%s%N)
kill -TERM "$rom"
# Not our child: watched until it is gone (the simulator reaps it at once), bounded.
for _ in $(seq 100); do kill -0 "$rom" 2>/dev/null || break; sleep 0.05; done
ms=$(( ($(date +%s%N) - t0) / 1000000 ))
kill -0 "$rom" 2>/dev/null && fail "calvyx-cli rom still runs $ms ms after SIGTERM (libusb)"
[ "$ms" -le "$bound_ms" ] || fail "calvyx-cli rom took $ms ms to end after SIGTERM (libusb); bound $bound_ms ms"
# The simulator ends 2 s after its program with the program's exit code.
rc=0
timeout 20 tail --pid="$simpid" -f /dev/null || fail "the simulator did not end after its program (libusb)"
wait "$simpid" || rc=$?
[ "$rc" -eq 130 ] || fail "calvyx-cli rom exited $rc after SIGTERM (libusb), not 130"
grep -q "^Interrupted: The ROM load was stopped" "$work/rom-libusb.log" || fail "no interruption message (libusb)"
echo "ok: rom stopped on a calculator that takes no data (libusb): $ms ms"
