#!/usr/bin/env bash
# calvyx-cli devices on this machine: the serial ports, the pipe device when calvyx-sim
# plays it, the USB bus (none here: said so, exit 0), and --add storing a calculator id
# in the settings of a private XDG_CONFIG_HOME (no duplicates; a malformed id is a usage
# error, exit 2, and changes nothing).
set -euo pipefail
build=${1:?build directory}
cli="$build/tools/calvyx-cli"
sim="$build/tools/calvyx-sim"
for p in "$cli" "$sim"; do [ -x "$p" ] || { echo "no $p"; exit 1; }; done
source "$(dirname "$0")/lib/common.bash"

export CALVYX_DEVICE_ROOT="$work/dev"
export XDG_CONFIG_HOME="$work/config"
settings="$XDG_CONFIG_HOME/Quentar-Varisko/Calvyx.conf"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Runs calvyx-cli; the exit code must be EXPECTED. Output in $work/out.
run_cli() {
    local expected=$1; shift
    local rc=0
    timeout 30 "$cli" "$@" >"$work/out" 2>&1 || rc=$?
    [ "$rc" -eq "$expected" ] || { fail "calvyx-cli $* exited $rc, expected $expected"; sed 's/^/    /' "$work/out"; }
}
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

# ---- --add --------------------------------------------------------------------------
[ -z "$(stored_ids)" ] || fail "ids stored before any --add: $(stored_ids)"
run_cli 0 devices --add 1E3A:0401
grep -q "1e3a:0401 added" "$work/out" || fail "--add did not say it added: $(cat "$work/out")"
[ "$(stored_ids)" = "1e3a:0401" ] || fail "stored after one --add: '$(stored_ids)'"
run_cli 0 devices --add 1e3a:0401
grep -q "already" "$work/out" || fail "a second --add of one id did not say it was there: $(cat "$work/out")"
[ "$(stored_ids)" = "1e3a:0401" ] || fail "a duplicate was stored: '$(stored_ids)'"
run_cli 0 devices --add usb:2b1c:7001
[ "$(stored_ids)" = "1e3a:0401;2b1c:7001" ] || fail "stored after two ids: '$(stored_ids)'"
for bad in 1e3a 1e3a:040 1e3g:0401 1e3a:04011 "" "1e3a:0401;2b1c:7002"; do
    run_cli 2 devices --add "$bad"
    grep -q "usage: calvyx-cli devices" "$work/out" || fail "--add '$bad' printed no usage: $(cat "$work/out")"
done
run_cli 2 devices --add
run_cli 2 devices extra
[ "$(stored_ids)" = "1e3a:0401;2b1c:7001" ] || fail "a refused --add changed the ids: '$(stored_ids)'"
run_cli 0 devices
grep -qxF "calculator ids: 1e3a:0401;2b1c:7001" "$work/out" || fail "the listing does not show the stored ids: $(cat "$work/out")"

# ---- Help -----------------------------------------------------------------------------
run_cli 0 devices --help
grep -q "^usage: calvyx-cli devices \[--add VVVV:PPPP\]" "$work/out" || fail "devices --help: $(cat "$work/out")"
run_cli 0 --help
grep -qE "^  devices +lists" "$work/out" || fail "calvyx-cli --help does not list devices: $(cat "$work/out")"
grep -q "usb:VVVV:PPPP" "$work/out" || fail "calvyx-cli --help does not name usb:VVVV:PPPP ports"

[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "calvyx-cli devices: all checks passed"
