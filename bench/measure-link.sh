#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints the link's resource figures against the virtual calculator:
#   idle  - CPU of a link read waiting on a silent USB and serial link (target < 1%)
#   leaks - descriptors, threads and heap before/after CYCLES open/close cycles
# Usage: bench/measure-link.sh [build-dir]   (CYCLES=1000, SECONDS_IDLE=5 by default)
# Every USB open drains the line for four quiet rounds (about 0.5 s), so 1000 USB
# cycles take about 8 minutes; the serial and USB runs go side by side.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
bench=$build/bench/bench_link_idle
[[ -x $bench ]] || cmake --build "$build" --target bench_link_idle
cycles=${CYCLES:-1000}
seconds=${SECONDS_IDLE:-5}

"$bench" --part idle --kind both --seconds "$seconds"
"$bench" --part leaks --kind serial --cycles "$cycles" &
serial=$!
"$bench" --part leaks --kind usb --cycles "$cycles"
wait "$serial"
