#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One ROM into a class of USB calculators at once: CALCULATORS virtual calculators of one
# id in ROM-load mode on one umockdev bus (calvyx-sim class --usb-device, each in its own
# socket, each taking the data at PACE bytes/s, a full-speed bulk link), loaded by one
# calvyx-cli rom --all. The same load into one calculator alone comes first. The rate is
# what each calculator measures from the stream's first byte to its last; target: the
# slowest of the class at least 0.95 of the one alone. Under umockdev the device nodes
# always look ready and libusb's event loops spin, so on a small machine the loads
# compete for the processor: the figure is a floor for real hardware.
# Usage: bench/measure-class-usb-rom.sh [build-dir]   (CALCULATORS=8 SIZE=307200 PACE=1000000)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
sim=$build/tools/calvyx-sim
cli=$build/tools/calvyx-cli
[[ -x $sim && -x $cli ]] || cmake --build "$build" --target calvyx-sim calvyx-cli
calculators=${CALCULATORS:-8}
size=${SIZE:-307200}
pace=${PACE:-1000000}
source "$top/tests/scripts/lib/common.bash"
export TMPDIR=$work/tmp CALVYX_DEVICE_ROOT=$work/dev XDG_CONFIG_HOME=$work/config
mkdir -p "$TMPDIR"
head -c "$size" /dev/urandom >"$work/os.bin"

# The rates the calculators measured, one a line, for COUNT calculators at once.
load() {
  local count=$1 out=$work/load-$1.log
  timeout 300 "$sim" class --copies "$count" --usb-device rom-load --pace "$pace" --wait 60000 "$work/os.bin" -- \
    "$cli" rom --all "$work/os.bin" >"$out" 2>&1 || { echo "FAIL: the load into $count failed" >&2; cat "$out" >&2; exit 1; }
  grep -q "^ROM loaded into $count of $count calculators$" "$out" || { echo "FAIL: not every calculator loaded" >&2; exit 1; }
  sed -n 's/^ROM of .* (\([0-9]*\) bytes\/s)$/\1/p' "$out"
}

alone=$(load 1)
load "$calculators" | sort -n >"$work/rates"
[ "$(wc -l <"$work/rates")" -eq "$calculators" ] || { echo "FAIL: not every calculator verified its ROM"; exit 1; }
slowest=$(head -n1 "$work/rates")
fastest=$(tail -n1 "$work/rates")
ratio=$(awk -v s="$slowest" -v a="$alone" 'BEGIN {printf "%.3f", s / a}')
printf '%-38s %12s\n' "rate alone, bytes/s" "$alone"
printf '%-38s %12s\n' "slowest of $calculators at once, bytes/s" "$slowest"
printf '%-38s %12s\n' "fastest of $calculators at once, bytes/s" "$fastest"
echo "slowest / alone: $ratio (target >= 0.95); load average $(cut -d' ' -f1-3 /proc/loadavg)"
awk -v r="$ratio" 'BEGIN {exit !(r >= 0.95)}'
