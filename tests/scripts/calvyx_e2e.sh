#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real calvyx on a virtual X display against the virtual calculator: it starts, a
# second start ends at once with exit code 0, it connects to the USB pipe device, a file
# the calculator pushes lands byte for byte in the chosen folder, it closes on SIGTERM
# with exit code 0 and its settings are saved.
set -euo pipefail
build=$(cd "${1:?usage: calvyx_e2e.sh BUILD_DIR}" && pwd)
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$top/tools/lib/session.sh"
if ! command -v xvfb-run >/dev/null || ! command -v Xvfb >/dev/null; then
  echo "SKIP: xvfb-run is not installed (tools/setup-debian.sh installs it)"
  exit 0
fi
fail() { echo "FAIL: $*" >&2; [ -f "$work/calvyx.log" ] && sed 's/^/  calvyx: /' "$work/calvyx.log" >&2; exit 1; }

work=$(mktemp -d /tmp/calvyx-e2e-XXXXXX)
calvyx_pid=
cleanup() {
  [ -n "$calvyx_pid" ] && kill -KILL "$calvyx_pid" 2>/dev/null
  session_stop_display
  rm -rf "$work"
}
trap cleanup EXIT
unset DISPLAY
session_init "$work"
session_settings "$work" "$work/calc"
session_display "$work"

"$build/app/calvyx" QVxT0+ > "$work/calvyx.log" 2>&1 &
calvyx_pid=$!
wait_for 10 test -e "$XDG_RUNTIME_DIR/calvyxstartupmutex" || fail "calvyx did not take its start-up lock"

# A second start ends at once, silently, with exit code 0.
set +e
QT_QPA_PLATFORM=offscreen timeout 10 "$build/app/calvyx" QVxT0+ > "$work/second.log" 2>&1
second=$?
set -e
[ "$second" -eq 0 ] || fail "the second start ended with $second"
kill -0 "$calvyx_pid" || fail "the first instance ended"

head -c 7000 /dev/urandom > "$work/pushed.bin"
timeout 60 "$build/tools/calvyx-sim" demo --root "$CALVYX_DEVICE_ROOT" --steps push --push-name E2E.QVA \
  --push-file "$work/pushed.bin" --pause 500 > "$work/sim.log" 2>&1 || { cat "$work/sim.log" >&2; fail "the push failed"; }
cmp "$work/pushed.bin" "$work/calc/E2E.QVA" || fail "the pushed file did not land intact in the chosen folder"

set +e
stop_calvyx "$calvyx_pid" 10
code=$?
set -e
calvyx_pid=
[ "$code" -eq 0 ] || fail "calvyx ended with $code after SIGTERM"
conf=$XDG_CONFIG_HOME/Quentar-Varisko/Calvyx.conf
grep -qx "dir=$work/calc" "$conf" || fail "dir was not saved"
grep -qx "ldir1=$work/calc" "$conf" || fail "the transfer folder is not the first recent folder"
grep -qx "ldir9=" "$conf" || fail "the nine recent slots were not all written"
grep -qx "DirWidthSplit=180" "$conf" || fail "DirWidthSplit was not saved"
grep -q "^\[Connectivity\]" "$conf" || fail "the window position was not saved"
echo "PASS: start, single instance, connect, pushed file landed, closed with 0, settings saved"
