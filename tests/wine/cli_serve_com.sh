#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows calvyx-cli serve under Wine on a COM port that is one end of a
# pseudo-terminal, the Linux calvyx-sim on the other end playing the calculator: a file
# pushed arrives byte for byte, a file fetched comes back byte for byte, the same in a
# served folder whose name is not ASCII (the programs' UTF-8 code page), and a COM port
# that is not there is a port error. Run by tools/run-wine-tests.sh, which sets up the
# Wine prefix and its path.
#   cli_serve_com.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/../scripts/lib/common.bash"
use_wine_programs cli_serve_com.sh "$@"
fail() { echo "FAIL: $*"; for f in "$work"/*.log; do echo "--- $f"; cat "$f"; done; exit 1; }
served="$work/served"
# German, Greek and Chinese letters: none of them in any one Windows "ANSI" code page.
unicode_served="$work/Übung Λ 練習"
mkdir -p "$served" "$unicode_served" "$work/calc"
com=com7
comlink="$WINEPREFIX/dosdevices/$com"
rm -f "$comlink"
trap 'rm -f "$comlink"; cleanup' EXIT

python3 -c "
import random, sys
r = random.Random(25)
open(sys.argv[1], 'wb').write(bytes(range(256)) * 6 + bytes(r.randrange(256) for _ in range(1700)))
open(sys.argv[2], 'wb').write(bytes(r.randrange(256) for _ in range(2300)))" \
  "$work/calc/UP.BIN" "$served/DOWN.BIN"
cp "$served/DOWN.BIN" "$unicode_served/DOWN.BIN"

# A COM port whose device is not there: the port error's exit code.
rc=0; timeout 60 "$wine" "$cli" serve --port COM7 --dir "Z:$served" >"$work/noport.log" 2>&1 || rc=$?
[ $rc -eq 3 ] || fail "a missing COM port: exit $rc, expected 3"

# One calculator role against a fresh serve on COM7, which stands for the role's
# pseudo-terminal. The role waits a few seconds before it starts, time enough for Wine
# to start serve; serve is ended once the role is done.
run_role() { # name, role arguments...
  local name=$1; shift
  "$sim" "$@" --after 4000 >"$work/$name.sim.log" 2>"$work/$name.sim-err.log" &
  local simpid=$!
  pids+=($simpid)
  local port=""
  for _ in $(seq 100); do port=$(head -n1 "$work/$name.sim.log" 2>/dev/null || true); [ -n "$port" ] && break; sleep 0.1; done
  [ -n "$port" ] || fail "$name: the simulator printed no port"
  ln -sfn "$(realpath "$port")" "$comlink"
  "$wine" "$cli" serve --port COM7 --dir "Z:$served" >"$work/$name.serve.log" 2>&1 &
  local servepid=$!
  pids+=($servepid)
  local rc=0
  # The role ends by itself (done, or its own time limits): bounded by timeout.
  timeout 120 tail --pid="$simpid" -f /dev/null || fail "$name: the simulator did not end within 120 s"
  wait "$simpid" || rc=$?
  kill "$servepid" 2>/dev/null || true
  wait "$servepid" 2>/dev/null || true
  rm -f "$comlink"
  return $rc
}

run_role push kermit-push "$work/calc/UP.BIN" || fail "push over COM7"
cmp "$work/calc/UP.BIN" "$served/UP.BIN" || fail "the pushed file differs"
grep -q "Receiving UP.BIN" "$work/push.serve.log" || fail "serve said nothing of the file it received"

run_role fetch kermit-fetch DOWN.BIN --out "$work/calc/DOWN.BIN" || fail "fetch over COM7"
cmp "$served/DOWN.BIN" "$work/calc/DOWN.BIN" || fail "the fetched file differs"

# The same into and out of the folder with the non-ASCII name.
served=$unicode_served
run_role push-unicode kermit-push "$work/calc/UP.BIN" || fail "push over COM7 into $served"
cmp "$work/calc/UP.BIN" "$served/UP.BIN" || fail "the file pushed into $served differs or is missing"
run_role fetch-unicode kermit-fetch DOWN.BIN --out "$work/calc/DOWN2.BIN" || fail "fetch over COM7 from $served"
cmp "$served/DOWN.BIN" "$work/calc/DOWN2.BIN" || fail "the file fetched from $served differs"

echo "PASS: Windows calvyx-cli serve on a Wine COM port: push and fetch byte-exact, also in a folder named \"Übung Λ 練習\", a missing port exit 3"
