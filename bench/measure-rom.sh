#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints the ROM update's figures against the virtual calculator's USB pipe device: a
# 4 MB ROM sent by the ROM sender (a progress report shown before every 2048-byte chunk)
# beside `cat` of the same stream (target >= 90 %), the sender's stream writer alone
# without the reports, and the sender's peak memory over the idle program (target: the
# file's size + 1 MB). Exits 1 when a target is missed. Takes about ten seconds.
# An unpaced pipe says how the sender compares with cat, not whether it keeps up with a
# calculator: bench/measure-usb-rom.sh holds the rate targets against a calculator that
# takes 1,000,000 bytes/s, over libusb and over the pipe device.
# Usage: bench/measure-rom.sh [build-dir]     (SIZE=4194304 ROUNDS=15 by default)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
bench=$build/bench/bench_RomLoad
[[ -x $bench ]] || cmake --build "$build" --target bench_RomLoad
exec "$bench" "${SIZE:-4194304}" "${ROUNDS:-15}"
