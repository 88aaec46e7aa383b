#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Interop: lrzsz `rx` (XModem, checksum mode: it starts with NAK) receives a file from the
# XModem send of `calvyx-cli serve --xmodem-file`, over a pseudo-terminal pair. The file
# must arrive identical but for the padding of its last block.
set -euo pipefail
build=${1:?usage: interop_lrzsz_rx.sh BUILD_DIR}
cli="$build/tools/calvyx-cli"
source "$(dirname "$0")/lib/common.bash"
require_tools rx socat python3
mkdir -p "$work/served" "$work/calc"

# 5000 bytes: four 1024-byte blocks, then 904 bytes in eight 128-byte blocks.
python3 -c "
import random, sys
r = random.Random(9)
open(sys.argv[1], 'wb').write(bytes(r.randrange(256) for _ in range(5000)))" "$work/served/APP.QVA"

start_pty_pair
start_serve --port "$work/pc" --dir "$work/served" --xmodem-file "$work/served/APP.QVA"

status=0
# -t 20: rx repeats its NAK every two seconds until the first block comes.
(cd "$work/calc" && timeout 120 rx -b -X -t 20 APP.QVA <"$work/calcport" >"$work/calcport" 2>"$work/rx.log") || status=$?

kill -INT "$serve"
wait "$serve" || true

fail=0
[ $status -eq 0 ] || { echo "FAIL: rx exited $status"; fail=1; }
python3 - "$work/served/APP.QVA" "$work/calc/APP.QVA" <<'PY' || fail=1
import sys
sent = open(sys.argv[1], "rb").read()
try:
    got = open(sys.argv[2], "rb").read()
except OSError as e:
    print("FAIL: nothing received:", e); sys.exit(1)
if not got.startswith(sent):
    print("FAIL: received data differs from the file (%d vs %d bytes)" % (len(got), len(sent))); sys.exit(1)
pad = got[len(sent):]
if len(got) % 128 or len(pad) >= 128 or pad.strip(b"\x1a"):
    print("FAIL: unexpected tail after the file: %d bytes %r" % (len(pad), pad[:16])); sys.exit(1)
print("received %d bytes: the file and %d padding bytes" % (len(got), len(pad)))
PY
if [ $fail -ne 0 ]; then
  echo "--- rx"; cat "$work/rx.log"; echo "--- serve"; cat "$work/serve.log"
  exit 1
fi
echo "PASS: rx received the file by XModem"
