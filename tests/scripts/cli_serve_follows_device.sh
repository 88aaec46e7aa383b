#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# calvyx-cli serve follows the device: the calculator's USB device goes away (serve says
# so and lets it go) and comes back, and the next push arrives without a restart; a
# pseudo-terminal whose far end closes is let go for good.
set -euo pipefail
build=${1:?usage: cli_serve_follows_device.sh BUILD_DIR}
cli="$build/tools/calvyx-cli"
sim="$build/tools/calvyx-sim"
source "$(dirname "$0")/lib/common.bash"
fail() { echo "FAIL: $*"; for f in "$work"/*.log; do echo "--- $f"; cat "$f"; done; exit 1; }
mkdir -p "$work/served"
mkdir -m 700 "$work/root"
export CALVYX_DEVICE_ROOT="$work/root"
head -c 3000 /dev/urandom >"$work/AGAIN.BIN"

# Waits (bounded) until FILE has a line matching PATTERN.
wait_for_line() { # file, pattern, what
  for _ in $(seq 100); do grep -q "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done
  fail "$3"
}

# The USB device.
"$sim" usb --usb --hold >"$work/first.log" 2>&1 &
first=$!
pids+=($first)
wait_for_line "$work/first.log" . "the first device did not appear"
"$cli" serve --port QVxT0+ --dir "$work/served" >"$work/serve.log" 2>&1 &
serve=$!
pids+=($serve)
wait_for_line "$work/serve.log" "^Serving QVxT0+" "serve did not start"
kill "$first"; wait "$first" 2>/dev/null || true
wait_for_line "$work/serve.log" "^-- QVxT0+ is gone" "serve did not notice the unplug"
timeout 60 "$sim" kermit-push --usb "$work/AGAIN.BIN" --after 1000 >"$work/push.log" 2>&1 ||
  fail "the push after the replug failed"
cmp "$work/AGAIN.BIN" "$work/served/AGAIN.BIN" || fail "the file pushed after the replug differs"
grep -q "^-- QVxT0+ is back" "$work/serve.log" || fail "serve did not say the device is back"

# Unplugged and back at once, well inside one look at the device: the push made by the
# new device must still arrive (the link must not stay on the pipes that went away).
backs=$(grep -c "is back" "$work/serve.log")
"$sim" usb --usb --hold >"$work/third.log" 2>&1 &
third=$!
pids+=($third)
for _ in $(seq 100); do [ "$(grep -c "is back" "$work/serve.log")" -gt "$backs" ] && break; sleep 0.1; done
[ "$(grep -c "is back" "$work/serve.log")" -gt "$backs" ] || fail "serve did not take the held device"
kill "$third"; wait "$third" 2>/dev/null || true
head -c 2000 /dev/urandom >"$work/QUICK.BIN"
timeout 60 "$sim" kermit-push --usb "$work/QUICK.BIN" >"$work/push2.log" 2>&1 ||
  fail "the push right after a fast replug failed"
cmp "$work/QUICK.BIN" "$work/served/QUICK.BIN" || fail "the file pushed after the fast replug differs"
kill -TERM "$serve"; rc=0; wait "$serve" || rc=$?
[ $rc -eq 0 ] || fail "serve exited $rc after SIGTERM"
grep -q "^Stopped" "$work/serve.log" || fail "serve did not stop cleanly"
echo "ok: serve follows the USB device"

# A pseudo-terminal whose far end goes away is no device that comes back: its number may
# be another program's terminal by the time one of that name appears. serve says so and
# ends (exit 3) instead of waiting for it.
socat pty,raw,echo=0,link="$work/pc" pty,raw,echo=0,link="$work/calcport" 2>"$work/socat1.log" &
socat1=$!
pids+=($socat1)
for _ in $(seq 50); do [ -e "$work/pc" ] && break; sleep 0.1; done
"$cli" serve --port "$work/pc" --dir "$work/served" >"$work/serve2.log" 2>&1 &
serve=$!
pids+=($serve)
wait_for_line "$work/serve2.log" "^Serving" "serve on the pty did not start"
kill "$socat1"; wait "$socat1" 2>/dev/null || true
wait_for_line "$work/serve2.log" "hung up; a pseudo-terminal is not opened again" "serve did not say why it lets the pty go"
for _ in $(seq 50); do kill -0 "$serve" 2>/dev/null || break; sleep 0.1; done
kill -0 "$serve" 2>/dev/null && fail "serve still runs after its pty hung up"
rc=0; wait "$serve" || rc=$?
[ $rc -eq 3 ] || fail "serve exited $rc after its pty hung up, not 3"
grep -q "is back\|waiting for it" "$work/serve2.log" && fail "serve waited for the pty to come back"
echo "ok: serve lets a pseudo-terminal that hung up go for good"
