#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One ROM into a class of USB calculators at once: CALCULATORS virtual calculators of one
# id in ROM-load mode on one umockdev bus (calvyx-sim class --usb-device, each in its own
# socket, each taking the data at PACE bytes/s, a full-speed bulk link), loaded by one
# calvyx-cli rom --all. The same load into one calculator alone comes first. The rate is
# what each calculator measures from the stream's first byte to its last; target: the
# slowest of the class at least 0.95 of the one alone.
#
# What limits it here is the test bed, not Calvyx: every usbfs request of every
# calculator on the bus is answered by one thread of calvyx-sim (umockdev's handler of
# the bus, which also waits on a round trip to the program for each transfer's data), and
# under umockdev the device nodes always look ready, so libusb's event loops keep asking.
# The run prints, for the class, the busiest threads of calvyx-sim and calvyx-cli: the
# sim's handler is runnable nearly all the time (on a core or waiting for one) while
# Calvyx's threads mostly wait. The same class paced at SLOW bytes/s, which that thread
# can keep up with, comes last: there each calculator loads at the rate of one alone.
# Usage: bench/measure-class-usb-rom.sh [build-dir]
#        (CALCULATORS=8 SIZE=307200 PACE=1000000 SLOW=100000)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
sim=$build/tools/calvyx-sim
cli=$build/tools/calvyx-cli
[[ -x $sim && -x $cli ]] || cmake --build "$build" --target calvyx-sim calvyx-cli
calculators=${CALCULATORS:-8}
size=${SIZE:-307200}
pace=${PACE:-1000000}
slow=${SLOW:-100000}
source "$top/tests/scripts/lib/common.bash"
export TMPDIR=$work/tmp CALVYX_DEVICE_ROOT=$work/dev XDG_CONFIG_HOME=$work/config
mkdir -p "$TMPDIR"
head -c "$size" /dev/urandom >"$work/os.bin"

# The rates the calculators measured, one a line, for COUNT calculators at once taking
# PACE bytes/s each; with a THREADS file, the busiest threads of the run go there.
load() {
  local count=$1 pace=$2 threads=${3:-} out=$work/load-$1-$2.log
  timeout 300 "$sim" class --copies "$count" --usb-device rom-load --pace "$pace" --wait 60000 "$work/os.bin" -- \
    "$cli" rom --all "$work/os.bin" >"$out" 2>&1 &
  local run=$!
  [ -z "$threads" ] || python3 "$top/bench/thread-cpu.py" "$run" 2 >"$threads" 2>&1 &
  local sampler=$!
  wait "$run" || { echo "FAIL: the load into $count failed" >&2; cat "$out" >&2; exit 1; }
  [ -z "$threads" ] || wait "$sampler"
  grep -q "^ROM loaded into $count of $count calculators$" "$out" || { echo "FAIL: not every calculator loaded" >&2; exit 1; }
  sed -n 's/^ROM of .* (\([0-9]*\) bytes\/s)$/\1/p' "$out"
}

# Prints the figures of COUNT at once against one alone, both at PACE; leaves the
# slowest / alone in $ratio.
compare() {
  local pace=$1 threads=${2:-} alone slowest fastest
  alone=$(load 1 "$pace")
  load "$calculators" "$pace" "$threads" | sort -n >"$work/rates"
  [ "$(wc -l <"$work/rates")" -eq "$calculators" ] || { echo "FAIL: not every calculator verified its ROM"; exit 1; }
  slowest=$(head -n1 "$work/rates")
  fastest=$(tail -n1 "$work/rates")
  ratio=$(awk -v s="$slowest" -v a="$alone" 'BEGIN {printf "%.3f", s / a}')
  printf '%-44s %12s\n' "rate alone at $pace bytes/s, bytes/s" "$alone"
  printf '%-44s %12s\n' "slowest of $calculators at once, bytes/s" "$slowest"
  printf '%-44s %12s\n' "fastest of $calculators at once, bytes/s" "$fastest"
}

compare "$pace" "$work/threads"
target=$ratio
echo "slowest / alone: $target (target >= 0.95); load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "threads of the class load (calvyx-sim's busiest answers every calculator's usbfs requests):"
sed 's/^/  /' "$work/threads"
compare "$slow"
echo "slowest / alone at $slow bytes/s, which the test bed keeps up with: $ratio"
awk -v r="$target" 'BEGIN {exit !(r >= 0.95)}'
