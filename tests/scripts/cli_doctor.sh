#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# calvyx-cli doctor as a program: on this machine it runs and says what it found (exit 0
# or 1 with a result line), bad usage exits 2, and over a made-up root the exit code
# follows whether a calculator connection can be opened: an adapter this user may open
# (0), the same adapter held by another process (1), nothing at all (1), and the pipe
# device while calvyx-sim plays it (0).
set -euo pipefail
source "$(dirname "$0")/lib/common.bash"
use_programs "${1:?build directory}" calvyx-cli calvyx-sim

export CALVYX_DEVICE_ROOT="$work/dev"
export XDG_CONFIG_HOME="$work/config"

# ---- This machine -----------------------------------------------------------------------
rc=0
timeout 30 "$cli" doctor >"$work/out" 2>&1 || rc=$?
sed 's/^/    /' "$work/out"
[ "$rc" -eq 0 ] || [ "$rc" -eq 1 ] || fail "doctor on this machine exited $rc"
tail -n1 "$work/out" | grep -qE '^result: (a|no) calculator connection can(not)? be opened$' ||
    fail "doctor ends without its result line"
if [ "$rc" -eq 0 ]; then tail -n1 "$work/out" | grep -q "^result: a " || fail "exit 0 with: $(tail -n1 "$work/out")"; fi
if [ "$rc" -eq 1 ]; then tail -n1 "$work/out" | grep -q "^result: no " || fail "exit 1 with: $(tail -n1 "$work/out")"; fi
if [ ! -d /sys/bus/usb/devices ] || [ -z "$(ls /sys/bus/usb/devices 2>/dev/null)" ]; then
    grep -q "no USB bus here" "$work/out" || fail "a machine without USB is not said to have no USB bus"
fi

# ---- Bad usage ------------------------------------------------------------------------------
run_cli 2 doctor extra
run_cli 2 doctor --root
run_cli 2 doctor --nonsense
run_cli 0 doctor --help
grep -q "^usage: calvyx-cli doctor \[--root DIR\]" "$work/out" || fail "doctor --help: $(cat "$work/out")"

# ---- A made-up machine: one CH340 adapter on ttyUSB0 ------------------------------------
root=$work/root
usbdev=$root/sys/devices/pci0000:00/usb1/1-2
mkdir -p "$usbdev/1-2:1.0/ttyUSB0" "$root/sys/class/tty/ttyUSB0" "$root/sys/bus/usb/devices" "$root/dev" "$root/etc" "$root/proc"
printf '1a86\n' >"$usbdev/idVendor"
printf '7523\n' >"$usbdev/idProduct"
printf 'USB Serial\n' >"$usbdev/product"
ln -s ../../../devices/pci0000:00/usb1/1-2 "$root/sys/bus/usb/devices/1-2"
ln -s ../../../devices/pci0000:00/usb1/1-2/1-2:1.0/ttyUSB0 "$root/sys/class/tty/ttyUSB0/device"
: >"$root/dev/ttyUSB0"
chmod 0600 "$root/dev/ttyUSB0" # this user's own: it may open it
: >"$root/etc/group"
run_cli 0 doctor --root "$root"
grep -q "^/dev/ttyUSB0, USB 1-2 1a86:7523 \"USB Serial\"$" "$work/out" || fail "the adapter is not listed: $(cat "$work/out")"
grep -q "you may open /dev/ttyUSB0" "$work/out" || fail "the adapter is not said to open: $(cat "$work/out")"

# Held open by another process.
mkdir -p "$root/proc/4321/fd"
printf 'minicom\n' >"$root/proc/4321/comm"
ln -s /dev/ttyUSB0 "$root/proc/4321/fd/5"
run_cli 1 doctor --root "$root"
grep -q "held open by minicom (process 4321)" "$work/out" || fail "the holder is not named: $(cat "$work/out")"
grep -q "fix: quit minicom, or: kill 4321" "$work/out" || fail "no fix for the holder: $(cat "$work/out")"

# Nothing at all.
run_cli 1 doctor --root "$work/empty"
grep -q "no USB calculator, no USB-serial adapter and no pipe device" "$work/out" || fail "an empty machine: $(cat "$work/out")"

# ---- The pipe device while calvyx-sim plays it --------------------------------------------
"$sim" usb --usb --hold >"$work/sim.out" 2>"$work/sim.err" &
pids+=($!)
for _ in $(seq 100); do [ -p "$CALVYX_DEVICE_ROOT/QVxT0+/PIPE1" ] && break; sleep 0.1; done
run_cli 0 doctor --root "$work/empty"
grep -q "^pipe device QVxT0+$" "$work/out" || fail "the pipe device is not listed: $(cat "$work/out")"

end_checks "calvyx-cli doctor: all checks passed"
