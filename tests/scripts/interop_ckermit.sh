#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Interop: C-Kermit plays the calculator against `calvyx-cli serve` over a pseudo-terminal
# pair. It pushes a file (every byte value) with the calculator's settings (LEN-80 packets,
# window 1, block check 1, all control bytes prefixed, binary) and fetches another back;
# both must arrive byte-identical.
set -euo pipefail
build=${1:?usage: interop_ckermit.sh BUILD_DIR}
cli="$build/tools/calvyx-cli"
source "$(dirname "$0")/lib/common.bash"
require_tools kermit socat python3
mkdir -p "$work/served" "$work/calc"

# Files: all 256 byte values in a scrambled order, and a served file to fetch.
python3 - "$work" <<'PY'
import os, random, sys
w = sys.argv[1]
r = random.Random(5)
pushed = bytes(range(256)) * 20
pushed = bytes(r.sample(list(pushed), len(pushed)))
open(os.path.join(w, "calc", "PUSHED.BIN"), "wb").write(pushed)
open(os.path.join(w, "served", "FETCH.BIN"), "wb").write(bytes(r.randrange(256) for _ in range(3000)))
PY

start_pty_pair
start_serve --port "$work/pc" --dir "$work/served"

cat >"$work/calc.ksc" <<KSC
set line $work/calcport
take $(cd "$(dirname "$0")" && pwd)/lib/calculator.ksc
cd $work/calc
send PUSHED.BIN
if fail exit 1 push failed
get FETCH.BIN
if fail exit 2 fetch failed
exit 0
KSC
status=0
timeout 120 kermit "$work/calc.ksc" -Y >"$work/kermit.log" 2>&1 </dev/null || status=$?

kill -INT "$serve"
serve_status=0
wait "$serve" || serve_status=$?

fail=0
if [ $status -ne 0 ]; then echo "FAIL: kermit exited $status"; fail=1; fi
cmp "$work/calc/PUSHED.BIN" "$work/served/PUSHED.BIN" || { echo "FAIL: pushed file differs"; fail=1; }
cmp "$work/served/FETCH.BIN" "$work/calc/FETCH.BIN" || { echo "FAIL: fetched file differs"; fail=1; }
if [ $serve_status -ne 0 ]; then echo "FAIL: calvyx-cli serve exited $serve_status after SIGINT"; fail=1; fi
grep -q "^Stopped" "$work/serve.log" || { echo "FAIL: serve did not stop cleanly"; fail=1; }
if [ $fail -ne 0 ]; then
  echo "--- kermit"; cat "$work/kermit.log"; echo "--- serve"; cat "$work/serve.log"
  exit 1
fi
echo "PASS: C-Kermit pushed and fetched byte-identical files"
