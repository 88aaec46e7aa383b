#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# XModem start delay against lrzsz `rx`: `calvyx-cli serve --xmodem-file` with a file of
# one 128-byte block, `rx` (checksum mode; it asks with NAK, then repeats only after a
# long wait) receiving it over a pseudo-terminal pair. Prints per run the time from
# rx's start to the file received: the first block must answer rx's first request, not
# a repeated one many seconds later.
# Usage: bench/xmodem-start.sh [build-dir]      (RUNS=5)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
cli="$build/tools/calvyx-cli"
runs=${RUNS:-5}
source "$top/tests/scripts/lib/common.bash"
require_tools rx socat
mkdir -p "$work/served" "$work/calc"
head -c 100 /dev/urandom >"$work/served/ONE.QVA"

start_pty_pair
start_serve --port "$work/pc" --dir "$work/served" --xmodem-file "$work/served/ONE.QVA"
figures=()
worst=0
for i in $(seq "$runs"); do
  rm -f "$work/calc/ONE.QVA"
  t0=$(date +%s%N)
  (cd "$work/calc" && timeout 60 rx -b -X -t 100 ONE.QVA <"$work/calcport" >"$work/calcport" 2>"$work/rx.log") ||
    { echo "FAIL: rx exited $? in run $i"; cat "$work/rx.log"; exit 1; }
  t1=$(date +%s%N)
  cmp -s <(head -c 100 "$work/calc/ONE.QVA") "$work/served/ONE.QVA" || { echo "FAIL: run $i: the file differs"; exit 1; }
  ms=$(( (t1 - t0) / 1000000 ))
  figures+=("$ms")
  [ "$ms" -gt "$worst" ] && worst=$ms
  sleep 1 # the server back to idle
done
kill -INT "$serve"; wait "$serve" || true
echo "rx start to file received (ms): ${figures[*]}"
echo "worst: $worst ms"
