#!/usr/bin/env bash
# Interop: lrzsz `rx` (XModem, checksum mode: it starts with NAK) receives a file from the
# XModem send of `calvyx-cli serve --xmodem-file`, over a pseudo-terminal pair. The file
# must arrive identical but for the padding of its last block.
set -euo pipefail
build=${1:?usage: interop_lrzsz_rx.sh BUILD_DIR}
cli="$build/tools/calvyx-cli"
for tool in rx socat python3; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool not installed (tools/setup-debian.sh installs it)"; exit 77; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  [ -n "${KEEP_WORK:-}" ] && echo "kept $work" || rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/served" "$work/calc"

# 5000 bytes: four 1024-byte blocks, then 904 bytes in eight 128-byte blocks.
python3 -c "
import random, sys
r = random.Random(9)
open(sys.argv[1], 'wb').write(bytes(r.randrange(256) for _ in range(5000)))" "$work/served/APP.QVA"

socat pty,raw,echo=0,link="$work/pc" pty,raw,echo=0,link="$work/calcport" 2>"$work/socat.log" &
pids+=($!)
for _ in $(seq 50); do [ -e "$work/pc" ] && [ -e "$work/calcport" ] && break; sleep 0.1; done
[ -e "$work/pc" ] || { echo "FAIL: socat made no pty pair"; cat "$work/socat.log"; exit 1; }

"$cli" serve --port "$work/pc" --dir "$work/served" --xmodem-file "$work/served/APP.QVA" >"$work/serve.log" 2>&1 &
serve=$!
pids+=($serve)
for _ in $(seq 100); do grep -q "^Serving" "$work/serve.log" 2>/dev/null && break; sleep 0.1; done
grep -q "^Serving" "$work/serve.log" || { echo "FAIL: calvyx-cli serve did not start"; cat "$work/serve.log"; exit 1; }
sleep 0.5

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
