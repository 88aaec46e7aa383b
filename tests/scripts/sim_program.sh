#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# calvyx-sim as a program: a byte script on a pseudo-terminal, the USB device's
# unplug, and its exit codes. The program's side is played by the shell.
set -euo pipefail
build=$1
sim=$build/tools/calvyx-sim
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Pseudo-terminal: the first line is the path to open; the script greets, waits for
# "OK" and answers CR LF.
coproc SIM { timeout 20 "$sim" pty --send-text hi --expect-text OK --send 0d0a --sleep 1000; }
read -r -t 5 path <&"${SIM[0]}" || fail "no pty path printed"
[[ -c $path ]] || fail "not a terminal: $path"
exec 5<>"$path"
stty -F "$path" raw -echo
got=$(timeout 5 head -c 2 <&5) || fail "no greeting"
[[ $got == hi ]] || fail "greeting was '$got'"
printf OK >&5
got=$(timeout 5 head -c 2 <&5 | od -An -tx1 | tr -d ' \n')
[[ $got == 0d0a ]] || fail "answer was '$got'"
wait "$SIM_PID" || fail "calvyx-sim pty exited $?"
exec 5>&-

# USB: the device appears under the root and is gone after the unplug.
"$sim" usb --root "$work/dev" --unplug-after 400 >"$work/usb.out" 2>/dev/null &
pid=$!
for _ in $(seq 50); do [[ -p $work/dev/QVxT0+/PIPE1 ]] && break; sleep 0.05; done
[[ -p $work/dev/QVxT0+/PIPE0 && -p $work/dev/QVxT0+/PIPE1 ]] || fail "USB pipes missing"
wait "$pid" || fail "calvyx-sim usb exited $?"
[[ ! -e $work/dev/QVxT0+ ]] || fail "device folder left after unplug"
[[ $(cat "$work/usb.out") == QVxT0+ ]] || fail "usb printed '$(cat "$work/usb.out")'"

# A held device is removed when the simulator is stopped by a signal.
"$sim" usb --root "$work/dev2" --hold >/dev/null 2>&1 &
pid=$!
for _ in $(seq 50); do [[ -p $work/dev2/QVxT0+/PIPE1 ]] && break; sleep 0.05; done
kill -TERM "$pid"
wait "$pid" || fail "calvyx-sim usb --hold exited $? on SIGTERM"
[[ ! -e $work/dev2/QVxT0+ ]] || fail "device folder left after SIGTERM"

# An echo on a device that is gone waits, it does not spin: 1.5 s of echo after the
# unplug costs next to no processor time.
TIMEFORMAT='%U %S'
cpu=$( { time "$sim" usb --root "$work/dev3" --unplug --echo 1500 >/dev/null 2>&1; } 2>&1 )
awk -v t="$cpu" 'BEGIN { split(t, p, " "); exit !(p[1] + p[2] < 0.15) }' ||
  fail "echo after an unplug used $cpu s (user sys) of processor time in 1.5 s"

# Exit codes: an unmet expectation is 1 (with what came), bad usage is 2.
set +e
"$sim" pty --timeout 200 --expect 41 >/dev/null 2>"$work/err"; rc=$?
set -e
[[ $rc == 1 ]] || fail "unmet expect exited $rc"
grep -q "expected 41 within 200 ms, got nothing" "$work/err" || fail "message: $(cat "$work/err")"
set +e
"$sim" pty --send 4 >/dev/null 2>&1; rc1=$?
"$sim" no-such-role >/dev/null 2>&1; rc2=$?
"$sim" pty --sleep 12abc >/dev/null 2>&1; rc3=$?
timeout 5 "$sim" kermit-push --after -1 "$work/usb.out" >/dev/null 2>&1; rc4=$?
set -e
[[ $rc1 == 2 && $rc2 == 2 && $rc3 == 2 && $rc4 == 2 ]] || fail "usage errors exited $rc1, $rc2, $rc3 and $rc4"
echo "calvyx-sim program checks passed"
