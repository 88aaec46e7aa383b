#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The COM ports Windows lists (the registry's SERIALCOMM key) under Wine: a port Wine is
# told of (HKLM\Software\Wine\Ports, read when the Wine server starts) shows in
# calvyx-cli devices, and serve --all finds it by itself and receives what the Linux
# calvyx-sim pushes on it. Run by tools/run-wine-tests.sh.
#   devices_com.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/../scripts/lib/common.bash"
use_wine_programs devices_com.sh "$@"
fail() { echo "FAIL devices_com: $*"; for f in "$work"/*.log; do echo "--- $f"; cat "$f"; done; exit 1; }
port=COM12
# The registry names a link in the prefix; the link is pointed at the simulator's
# pseudo-terminal once it has one.
portlink="$WINEPREFIX/calvyx-test-com12"
ports_key='HKLM\Software\Wine\Ports'
forget_port() {
  timeout 60 "$wine" reg delete "$ports_key" /v "$port" /f >/dev/null 2>&1 || true
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -f "$portlink"
}
trap 'forget_port; cleanup' EXIT
ln -sfn /dev/null "$portlink"
timeout 60 "$wine" reg add "$ports_key" /v "$port" /t REG_SZ /d "$portlink" /f >"$work/reg.log" 2>&1 ||
  fail "the registry took no port"
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

timeout 60 "$wine" "$cli" devices >"$work/devices.log" 2>&1 || fail "calvyx-cli devices failed"
tr -d '\r' <"$work/devices.log" | grep -qx "  $port" || fail "calvyx-cli devices does not list $port"

mkdir -p "$work/served" "$work/calc"
head -c 3000 /dev/urandom >"$work/calc/ALL.BIN"
# The simulator waits before it pushes: time for Wine to start serve, which finds the
# port by itself.
"$sim" kermit-push "$work/calc/ALL.BIN" --after 8000 >"$work/sim.log" 2>"$work/sim-err.log" &
simpid=$!
pids+=($simpid)
pty=""
for _ in $(seq 100); do pty=$(head -n1 "$work/sim.log" 2>/dev/null || true); [ -n "$pty" ] && break; sleep 0.1; done
[ -n "$pty" ] || fail "the simulator printed no port"
ln -sfn "$(realpath "$pty")" "$portlink"
"$wine" "$cli" serve --all --dir "Z:$work/served" >"$work/serve.log" 2>&1 &
servepid=$!
pids+=($servepid)
timeout 120 tail --pid="$simpid" -f /dev/null || fail "the simulator did not end within 120 s"
wait "$simpid" || fail "the push to serve --all failed"
kill "$servepid" 2>/dev/null || true
wait "$servepid" 2>/dev/null || true
grep -q "^\[$port\] -- joins: $port" "$work/serve.log" || fail "serve --all did not find $port"
# A class keeps each calculator's files in an inbox of its own.
cmp "$work/calc/ALL.BIN" "$work/served/$port/ALL.BIN" || fail "the file pushed to serve --all differs or is missing"
echo "PASS devices_com: $port from the registry in calvyx-cli devices, and serve --all received a push on it"
