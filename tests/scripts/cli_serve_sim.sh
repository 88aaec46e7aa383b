#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# calvyx-cli serve end to end against calvyx-sim's Kermit and XModem roles: files pushed
# and fetched over the USB pipe device and a pseudo-terminal, an XModem request answered
# with --xmodem-file or asked on the terminal, a hostile name refused, the clean stop on
# SIGTERM and Ctrl-C, and the exit codes of bad usage and an unopenable port.
set -euo pipefail
build=${1:?usage: cli_serve_sim.sh BUILD_DIR}
cli="$build/tools/calvyx-cli"
sim="$build/tools/calvyx-sim"
source "$(dirname "$0")/lib/common.bash"
fail() { echo "FAIL: $*"; for f in "$work"/*.log; do echo "--- $f"; cat "$f"; done; exit 1; }
mkdir -p "$work/served" "$work/calc"
mkdir -m 700 "$work/root"
export CALVYX_DEVICE_ROOT="$work/root"

python3 -c "
import random, sys
r = random.Random(3)
open(sys.argv[1], 'wb').write(bytes(range(256)) * 8 + bytes(r.randrange(256) for _ in range(1000)))
open(sys.argv[2], 'wb').write(bytes(r.randrange(256) for _ in range(2500)))
open(sys.argv[3], 'wb').write(bytes(r.randrange(256) for _ in range(1300)))" \
  "$work/calc/UP.BIN" "$work/served/DOWN.BIN" "$work/served/X.QVA"

# Usage and port errors.
rc=0; "$cli" serve --dir "$work/served" 2>"$work/usage.log" || rc=$?
[ $rc -eq 2 ] || fail "missing --port: exit $rc, expected 2"
rc=0; "$cli" serve --port /dev/nonexistent-calvyx --dir "$work/served" 2>"$work/port.log" || rc=$?
[ $rc -eq 3 ] || fail "bad port: exit $rc, expected 3"
grep -q "^calvyx-cli serve: cannot open /dev/nonexistent-calvyx: " "$work/port.log" ||
  fail "bad port message"

# Runs one calculator role against a fresh server; the role's first line is the port.
run_role() { # name, serve options..., --, role arguments...
  local name=$1; shift
  local serve_opts=()
  while [ "$1" != "--" ]; do serve_opts+=("$1"); shift; done; shift
  "$sim" "$@" --after 1000 >"$work/$name.sim.log" 2>"$work/$name.sim-err.log" &
  local simpid=$!
  pids+=($simpid)
  local port=""
  for _ in $(seq 50); do port=$(head -n1 "$work/$name.sim.log" 2>/dev/null || true); [ -n "$port" ] && break; sleep 0.1; done
  [ -n "$port" ] || fail "$name: the simulator printed no port"
  "$cli" serve --port "$port" --dir "$work/served" "${serve_opts[@]}" >"$work/$name.serve.log" 2>&1 &
  local servepid=$!
  pids+=($servepid)
  local rc=0
  wait "$simpid" || rc=$?
  kill -TERM "$servepid"
  local src=0
  wait "$servepid" || src=$?
  # A role on a pseudo-terminal hangs the line up as it ends; serve may have seen that
  # before the signal and ended by itself, saying why (exit 3).
  if [ $src -eq 3 ] && grep -q "hung up; a pseudo-terminal is not opened again" "$work/$name.serve.log"; then
    return $rc
  fi
  [ $src -eq 0 ] || fail "$name: serve exited $src after SIGTERM"
  grep -q "^Stopped" "$work/$name.serve.log" || fail "$name: serve did not stop cleanly"
  return $rc
}

run_role push-usb -- kermit-push --usb "$work/calc/UP.BIN" || fail "push over USB"
cmp "$work/calc/UP.BIN" "$work/served/UP.BIN" || fail "pushed file differs"
grep -q "^== Receiving UP.BIN" "$work/push-usb.serve.log" || fail "no Receiving status line"

run_role fetch-pty -- kermit-fetch DOWN.BIN --out "$work/calc/DOWN.BIN" || fail "fetch over a pty"
cmp "$work/served/DOWN.BIN" "$work/calc/DOWN.BIN" || fail "fetched file differs"
# The three-line progress text is printed as one line, one space at each former break.
grep -qE '^[0-9]+/2500 bytes \([0-9]+%\) [0-9]+ bytes/s$' "$work/fetch-pty.serve.log" || fail "no one-line progress"

run_role xmodem-usb --xmodem-file "$work/served/X.QVA" -- xmodem-receive --usb --crc --out "$work/calc/X.QVA" ||
  fail "XModem receive"
cmp -n 1300 "$work/served/X.QVA" "$work/calc/X.QVA" || fail "XModem data differs"

# Without --xmodem-file the request is asked on the terminal: a name typed there is sent
# from the folder, and Ctrl-C while the question waits stops serve cleanly.
python3 - "$cli" "$sim" "$work" <<'PY' || fail "XModem request asked on the terminal"
import os, pty, signal, subprocess, sys, time

cli, sim, work = sys.argv[1:4]

def wait_for(path, text, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        with open(path, errors="replace") as f:
            if text in f.read():
                return True
        time.sleep(0.05)
    return False

def ask(name, answer):
    sim_log = f"{work}/{name}.sim.log"
    calc = subprocess.Popen([sim, "xmodem-receive", "--usb", "--crc", "--out", f"{work}/calc/{name}.QVA", "--after", "1000"],
                            stdout=open(sim_log, "w"), stderr=open(f"{work}/{name}.sim-err.log", "w"))
    if not wait_for(sim_log, "\n", 10):
        sys.exit(f"{name}: the simulator printed no port")
    port = open(sim_log).readline().strip()
    master, slave = pty.openpty()
    serve_log = f"{work}/{name}.serve.log"
    serve = subprocess.Popen([cli, "serve", "--port", port, "--dir", f"{work}/served"], stdin=slave,
                             stdout=open(serve_log, "w"), stderr=subprocess.STDOUT)
    os.close(slave)
    try:
        if not wait_for(serve_log, "then Enter", 30):
            sys.exit(f"{name}: serve asked nothing on the terminal")
        if answer is None:
            serve.send_signal(signal.SIGINT)
            if serve.wait(timeout=20) != 0 or not wait_for(serve_log, "Stopped", 1):
                sys.exit(f"{name}: Ctrl-C during the question did not stop serve cleanly")
            calc.kill()
            calc.wait(timeout=20)
            return
        os.write(master, answer.encode() + b"\n")
        if calc.wait(timeout=60) != 0:
            sys.exit(f"{name}: the calculator's XModem receive failed")
        serve.send_signal(signal.SIGTERM)
        if serve.wait(timeout=20) != 0:
            sys.exit(f"{name}: serve did not stop cleanly")
    finally:
        for p in (serve, calc):
            if p.poll() is None:
                p.kill()
                p.wait()
        os.close(master)

ask("asked", "X.QVA")
sent = open(f"{work}/served/X.QVA", "rb").read()
if open(f"{work}/calc/asked.QVA", "rb").read()[:len(sent)] != sent:
    sys.exit("asked: the file that arrived differs")
ask("interrupted", None)
PY

rc=0; run_role hostile -- kermit-packets --usb "S:0:p" "F:1:../ESCAPE.BIN" || rc=$?
grep -q 'F:1:../ESCAPE.BIN -> E seq 1' "$work/hostile.sim.log" || fail "hostile name not refused with E"
[ ! -e "$work/ESCAPE.BIN" ] || fail "a file was written outside the folder"

echo "PASS: calvyx-cli serve with the virtual calculator"
