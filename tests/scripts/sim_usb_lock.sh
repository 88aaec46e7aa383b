#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One virtual calculator per device root: a second `calvyx-sim --usb` on the same root
# refuses at once (exit 1, one clear line) and leaves the first one's device alone. The
# lock goes with its holder however it ends: a clean end removes it, a killed one leaves
# a file that no longer holds anybody out.
set -euo pipefail
build=${1:?build directory}
sim="$build/tools/calvyx-sim"
[ -x "$sim" ] || { echo "no $sim"; exit 1; }
source "$(dirname "$0")/lib/common.bash"
fail() { echo "FAIL: $*"; exit 1; }
root="$work/dev"

# start_held NAME: a held USB device under $root; its process id in $held.
start_held() {
  "$sim" usb --root "$root" --hold >"$work/$1.out" 2>"$work/$1.err" &
  held=$!
  pids+=($held)
  for _ in $(seq 100); do [[ -p $root/QVxT0+/PIPE1 ]] && return 0; sleep 0.05; done
  fail "$1 made no device: $(cat "$work/$1.err")"
}

start_held first
first=$held
# Any role on the USB device is refused there, however it is asked for.
for role in "usb --hold" "kermit-push --usb $work/first.out" "screen-push --usb --pattern frame"; do
  rc=0
  # shellcheck disable=SC2086
  timeout 10 "$sim" $role --root "$root" >"$work/second.out" 2>"$work/second.err" || rc=$?
  [[ $rc == 1 ]] || fail "a second '$role' on the root exited $rc, not 1"
  [[ ! -s $work/second.out ]] || fail "a second '$role' printed a port: $(cat "$work/second.out")"
  expected="calvyx-sim: another calvyx-sim (process $first) plays the USB device in $root; stop it first, or give this one a --root of its own"
  [[ $(cat "$work/second.err") == "$expected" ]] || fail "a second '$role' said: $(cat "$work/second.err")"
  [[ -p $root/QVxT0+/PIPE0 && -p $root/QVxT0+/PIPE1 ]] || fail "a second '$role' took the first one's device away"
done
# Another root is another calculator.
timeout 10 "$sim" usb --root "$work/other" --unplug-after 100 >/dev/null 2>"$work/other.err" ||
  fail "a simulator on another root was refused: $(cat "$work/other.err")"

kill -TERM "$first"
wait "$first" || fail "the first simulator exited $? on SIGTERM"
[[ ! -e $root/QVxT0+.lock ]] || fail "a clean end left the lock file"
[[ ! -e $root/QVxT0+ ]] || fail "a clean end left the device"

# Killed: the lock file stays, but the kernel let go of the lock.
start_held killed
kill -KILL "$held"
wait "$held" 2>/dev/null || true
[[ -e $root/QVxT0+.lock ]] || fail "no lock file while a simulator held the root"
timeout 10 "$sim" usb --root "$root" --unplug-after 100 >/dev/null 2>"$work/after.err" ||
  fail "the root stayed locked after its holder was killed: $(cat "$work/after.err")"
[[ ! -e $root/QVxT0+.lock ]] || fail "the lock file stayed after a clean end"
echo "one calvyx-sim per device root"
