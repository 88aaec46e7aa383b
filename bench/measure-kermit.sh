#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints the Kermit server's figures against the virtual calculator on a pseudo-terminal
# throttled to 9600 baud (960 bytes/s), each beside the bound the protocol allows:
#   push   - a 50 KB file pushed with LEN-80 frames (target >= 95% of the bound)
#   xmodem - a 300 KB file sent by XModem-1K with CRC (target >= 97% of the bound)
#   idle   - CPU of the server on a silent serial and USB line (target < 1% of a core)
# Takes about seven minutes (the two transfers run side by side).
# Usage: bench/measure-kermit.sh [build-dir]     (SECONDS_IDLE=10 by default)
# The fuzz target is separate: bench/fuzz-kermit.sh.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
bench=$build/bench/bench_kermit_throughput
[[ -x $bench ]] || cmake --build "$build" --target bench_kermit_throughput
seconds=${SECONDS_IDLE:-10}

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$bench" --part push >"$out/push" 2>&1 &
push=$!
status=0
"$bench" --part xmodem >"$out/xmodem" 2>&1 || status=1
wait "$push" || status=1
cat "$out/push" "$out/xmodem"
"$bench" --part idle --seconds "$seconds" || status=1
exit $status
