#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# calvyx-cli devices on this machine: the serial ports, the pipe device when calvyx-sim
# plays it, the USB bus (none here: said so, exit 0), and --add storing a calculator id
# in the settings of a private XDG_CONFIG_HOME (no duplicates; a malformed id is a usage
# error, exit 2, and changes nothing) and printing the udev rule line for it; as root,
# --add writes that line once into the rules file under --root and runs udevadm (a stub
# here that logs its words; without udevadm it says so and still succeeds).
set -euo pipefail
source "$(dirname "$0")/lib/common.bash"
use_programs "${1:?build directory}" calvyx-cli calvyx-sim

export CALVYX_DEVICE_ROOT="$work/dev"
export XDG_CONFIG_HOME="$work/config"
settings="$XDG_CONFIG_HOME/Quentar-Varisko/Calvyx.conf"
# The section of the listing under HEADING, up to the next heading.
section() { awk -v h="$1" '$0 == h {on = 1; next} /^[^ ]/ {on = 0} on' "$work/out"; }
# The stored list, without the quotes the settings file puts around a value with ';'.
stored_ids() { sed -n 's/^CalculatorIds=//p' "$settings" 2>/dev/null | tr -d '"'; }

# ---- The listing without a pipe device --------------------------------------------
run_cli 0 devices
for heading in "serial ports:" "pipe device:" "USB devices with a bulk IN and OUT endpoint:"; do
    grep -qxF "$heading" "$work/out" || fail "no \"$heading\" in the listing: $(cat "$work/out")"
done
section "pipe device:" | grep -q "^  none" || fail "a pipe device listed where there is none: $(section "pipe device:")"
usb=$(section "USB devices with a bulk IN and OUT endpoint:")
# This machine has no USB bus; on one with a bus the section lists devices by id.
if [ ! -d /sys/bus/usb/devices ] || [ -z "$(ls /sys/bus/usb/devices 2>/dev/null)" ]; then
    [ "$usb" = "  no USB bus" ] || fail "USB section on a machine without USB: $usb"
else
    grep -qvE '^  (none|no USB bus|usb:[0-9a-f]{4}:[0-9a-f]{4} .*may open: (yes|no|unknown).*)$' <<<"$usb" && fail "unexpected USB lines: $usb"
fi
for tty in /dev/ttyS0 /dev/ttyUSB0 /dev/ttyACM0; do
    if [ -e "$tty" ]; then section "serial ports:" | grep -q "^  $tty" || fail "$tty not listed: $(section "serial ports:")"; fi
done
section "serial ports:" | grep -q "^  /dev/ttyS0 (COM1)$" || [ ! -e /dev/ttyS0 ] || fail "/dev/ttyS0 not shown as COM1"

# ---- The pipe device while calvyx-sim plays it ------------------------------------
"$sim" usb --usb --hold >"$work/sim.out" 2>"$work/sim.err" &
pids+=($!)
for _ in $(seq 100); do [ -p "$CALVYX_DEVICE_ROOT/QVxT0+/PIPE1" ] && break; sleep 0.1; done
run_cli 0 devices
section "pipe device:" | grep -qxF "  QVxT0+ at $CALVYX_DEVICE_ROOT/QVxT0+" || fail "the pipe device is not listed: $(section "pipe device:")"
kill "${pids[-1]}"; wait "${pids[-1]}" 2>/dev/null || true
run_cli 0 devices
section "pipe device:" | grep -q "^  none" || fail "the pipe device is still listed after calvyx-sim ended"

# ---- --add ----------------------------------------------------------------------------
# Never the real rules folder or the real udevadm: the rules go under $root, udevadm is
# a stub that logs its words.
root=$work/root
rules=$root/etc/udev/rules.d/70-calvyx-ids.rules
mkdir -p "$work/bin"
printf '#!/bin/sh\necho "$*" >>"%s/udevadm.log"\n' "$work" >"$work/bin/udevadm"
chmod +x "$work/bin/udevadm"
export PATH="$work/bin:$PATH"
rule_for() { echo "SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", ATTR{idVendor}==\"$1\", ATTR{idProduct}==\"$2\", TAG+=\"uaccess\""; }
[ -z "$(stored_ids)" ] || fail "ids stored before any --add: $(stored_ids)"
run_cli 0 devices --add 1E3A:0401 --root "$root"
grep -q "1e3a:0401 added" "$work/out" || fail "--add did not say it added: $(cat "$work/out")"
[ "$(stored_ids)" = "1e3a:0401" ] || fail "stored after one --add: '$(stored_ids)'"
grep -qxF "udev rule: $(rule_for 1e3a 0401)" "$work/out" || fail "--add did not print the rule line: $(cat "$work/out")"
if [ "$(id -u)" -eq 0 ]; then
    [ "$(cat "$rules")" = "$(rule_for 1e3a 0401)" ] || fail "the rules file after one --add: $(cat "$rules" 2>&1)"
    grep -qx "control --reload" "$work/udevadm.log" || fail "udev was not reloaded: $(cat "$work/udevadm.log" 2>&1)"
    grep -qx "trigger --action=add --subsystem-match=usb --attr-match=idVendor=1e3a --attr-match=idProduct=0401" "$work/udevadm.log" ||
        fail "the device's events were not played again: $(cat "$work/udevadm.log")"
else
    [ ! -e "$rules" ] || fail "a user who is not root wrote $rules"
    grep -q "as root (sudo calvyx-cli devices --add 1e3a:0401)" "$work/out" || fail "no word on running it as root: $(cat "$work/out")"
fi
run_cli 0 devices --add 1e3a:0401 --root "$root"
grep -q "already" "$work/out" || fail "a second --add of one id did not say it was there: $(cat "$work/out")"
[ "$(stored_ids)" = "1e3a:0401" ] || fail "a duplicate was stored: '$(stored_ids)'"
if [ "$(id -u)" -eq 0 ]; then
    [ "$(wc -l <"$rules")" -eq 1 ] || fail "a second --add of one id wrote its rule again: $(cat "$rules")"
    # Without udevadm the rule is still written, and the run says what it could not do.
    PATH=/usr/bin:/bin run_cli 0 devices --add usb:2b1c:7001 --root "$root"
    [ "$(tail -n1 "$rules")" = "$(rule_for 2b1c 7001)" ] || fail "the second id's rule: $(cat "$rules")"
    grep -q "cannot run udevadm" "$work/out" || fail "a missing udevadm is not mentioned: $(cat "$work/out")"
else
    run_cli 0 devices --add usb:2b1c:7001 --root "$root"
fi
[ "$(stored_ids)" = "1e3a:0401;2b1c:7001" ] || fail "stored after two ids: '$(stored_ids)'"
for bad in 1e3a 1e3a:040 1e3g:0401 1e3a:04011 "" "1e3a:0401;2b1c:7002"; do
    run_cli 2 devices --add "$bad" --root "$root"
    grep -q "usage: calvyx-cli devices" "$work/out" || fail "--add '$bad' printed no usage: $(cat "$work/out")"
done
run_cli 2 devices --add
run_cli 2 devices extra
run_cli 2 devices --root "$root"
run_cli 2 devices --add 1e3a:0401 --root ""
[ "$(stored_ids)" = "1e3a:0401;2b1c:7001" ] || fail "a refused --add changed the ids: '$(stored_ids)'"
run_cli 0 devices
grep -qxF "calculator ids: 1e3a:0401;2b1c:7001" "$work/out" || fail "the listing does not show the stored ids: $(cat "$work/out")"

# ---- Help -----------------------------------------------------------------------------
run_cli 0 devices --help
grep -q "^usage: calvyx-cli devices \[--add VVVV:PPPP\]" "$work/out" || fail "devices --help: $(cat "$work/out")"
run_cli 0 --help
grep -qE "^  devices +lists" "$work/out" || fail "calvyx-cli --help does not list devices: $(cat "$work/out")"
grep -q "usb:VVVV:PPPP" "$work/out" || fail "calvyx-cli --help does not name usb:VVVV:PPPP ports"

end_checks "calvyx-cli devices: all checks passed"
