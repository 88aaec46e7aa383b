#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A 4 MB ROM load by calvyx-cli into the virtual calculator in ROM-load mode, which takes
# the data at 1,000,000 bytes/s (a full-speed bulk link), over two paths:
#   - the libusb backend: calvyx-sim --usb-device plays the calculator on a umockdev bus
#     (OUT transfers wait while 64 KB it took are unread), calvyx-cli reaches it through
#     libusb;
#   - the pipe device: calvyx-sim --usb, the FIFOs under a device root of its own.
# Targets: the rate the calculator measures (from the stream's first byte to its last)
# is at least 97 % of the pace on both paths; calvyx-cli's peak memory (peak RSS of the
# 4 MB load minus that of a 4 KB load, /usr/bin/time) stays within the file's size +
# 1 MB. Also prints calvyx-cli serve's CPU on a silent pipe device over 5 s. Real-USB idle
# CPU cannot be measured here: under umockdev the device node always looks ready, so
# libusb's event loop spins, which a real device node does not do.
# Exit code 1 when a target is missed. Takes about 25 seconds.
# Usage: bench/measure-usb-rom.sh [build-dir]     (SIZE=4194304 PACE=1000000 by default)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
sim=$build/tools/calvyx-sim
cli=$build/tools/calvyx-cli
[[ -x $sim && -x $cli ]] || cmake --build "$build" --target calvyx-sim calvyx-cli
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (Debian package time)"; exit 1; }
size=${SIZE:-4194304}
pace=${PACE:-1000000}
work=$(mktemp -d)
sim_pid=
trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
export TMPDIR=$work/tmp CALVYX_DEVICE_ROOT=$work/dev
mkdir -p "$TMPDIR" "$work/served"
head -c "$size" /dev/urandom >"$work/os.bin"
head -c 4096 /dev/urandom >"$work/small.bin"
misses=0

# Prints "RATE PEAK_KB" of one load of FILE over PATH (usb-device or pipe).
load() { # path, file
  local path=$1 file=$2 out=$work/$1-$(basename "$2").log
  if [ "$path" = usb-device ]; then
    timeout 120 "$sim" rom-load "$file" --pace "$pace" --usb-device -- \
      /usr/bin/time -f "peak %M kB" "$cli" rom --port usb:1e3a:0401 "$file" >"$out" 2>&1 ||
      { echo "the load over $path failed:" >&2; cat "$out" >&2; return 1; }
  else
    rm -f "$work/sim.fifo"; mkfifo "$work/sim.fifo"
    timeout 120 "$sim" rom-load --usb "$file" --pace "$pace" >"$work/sim.fifo" 2>/dev/null &
    sim_pid=$!
    exec 3<"$work/sim.fifo"
    read -r -t 10 -u 3 _ || { echo "calvyx-sim did not start" >&2; return 1; }
    /usr/bin/time -f "peak %M kB" timeout 120 "$cli" rom --port QVxT0+ "$file" >"$out" 2>&1 ||
      { echo "the load over $path failed:" >&2; cat "$out" >&2; return 1; }
    cat <&3 >>"$out"; exec 3<&-
    wait "$sim_pid" || { echo "the calculator refused the ROM over $path:" >&2; cat "$out" >&2; return 1; }
    sim_pid=
  fi
  local rate peak
  rate=$(sed -n 's/^ROM of .* (\([0-9]*\) bytes\/s)$/\1/p' "$out")
  peak=$(sed -n 's/^peak \([0-9]*\) kB$/\1/p' "$out")
  [ -n "$rate" ] && [ -n "$peak" ] || { echo "no figures over $path:" >&2; cat "$out" >&2; return 1; }
  echo "$rate $peak"
}

for path in usb-device pipe; do
  read -r rate peak < <(load "$path" "$work/os.bin") || { misses=$((misses + 1)); continue; }
  read -r _ idle < <(load "$path" "$work/small.bin") || { misses=$((misses + 1)); continue; }
  percent=$(awk -v r="$rate" -v p="$pace" 'BEGIN { printf "%.1f", 100 * r / p }')
  grown=$((peak - idle))
  limit=$(((size + 1048576) / 1024))
  verdict_rate=ok; awk -v r="$rate" -v p="$pace" 'BEGIN { exit !(r >= 0.97 * p) }' || { verdict_rate=MISSED; misses=$((misses + 1)); }
  verdict_mem=ok; [ "$grown" -le "$limit" ] || { verdict_mem=MISSED; misses=$((misses + 1)); }
  printf '%-10s  rate %8d bytes/s = %5s %% of %d (target >= 97 %%: %s)\n' "$path" "$rate" "$percent" "$pace" "$verdict_rate"
  printf '%-10s  peak RSS %d kB, %d kB over a 4 KB load (target <= %d kB: %s)\n' "$path" "$peak" "$grown" "$limit" "$verdict_mem"
done

# Idle: calvyx-cli serve on a silent pipe device, its CPU time over 5 s.
"$sim" usb --usb --hold >/dev/null 2>&1 &
sim_pid=$!
for _ in $(seq 50); do [ -p "$CALVYX_DEVICE_ROOT/QVxT0+/PIPE0" ] && break; sleep 0.1; done
"$cli" serve --port QVxT0+ --dir "$work/served" >"$work/serve.log" 2>&1 &
serve=$!
sleep 1
ticks() { awk '{ print $14 + $15 }' "/proc/$serve/stat"; }
before=$(ticks); sleep 5; after=$(ticks)
kill -TERM "$serve"; wait "$serve" || true
kill -TERM "$sim_pid"; wait "$sim_pid" || true; sim_pid=
hz=$(getconf CLK_TCK)
awk -v t=$((after - before)) -v hz="$hz" 'BEGIN { printf "pipe idle   serve used %.2f s of CPU in 5 s (%.1f %%)\n", t / hz, 100 * t / hz / 5 }'
echo "usb idle    not measurable here: no USB hardware, and under umockdev libusb's event loop spins"
[ "$misses" -eq 0 ] || { echo "$misses target(s) missed"; exit 1; }
