#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The run command for newcomers: installs what is missing, builds, then runs Calvyx
# against the virtual calculator for about half a minute. The calculator pushes a file,
# asks for one by XModem and pushes its screen; the demo then closes Calvyx and says what
# happened and where the screenshot is. Without a display it runs under Xvfb. Last,
# calvyx-cli receives an object by wire, captures a screen to PNG and loads a ROM.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/setup-debian.sh"
bash "$top/tools/build.sh"
build=${CALVYX_BUILD_DIR:-$top/build}
. "$top/tools/lib/session.sh"

work=$(mktemp -d /tmp/calvyx-demo-XXXXXX)
session_init "$work"
session_settings "$work" "$work/calc"
# Whatever ends the demo, calvyx and the virtual display end with it.
calvyx=
stop_all() {
  [ -n "$calvyx" ] && kill -KILL "$calvyx" 2>/dev/null && wait "$calvyx" 2>/dev/null
  session_stop_display
}
trap stop_all EXIT
session_display "$work"
[ -n "$SESSION_XVFB_PID" ] && echo "No display: Calvyx runs on a virtual one (Xvfb $DISPLAY)."

# The file Calvyx sends when the calculator asks for one by XModem.
for_calc=$work/calc/FOR-CALC.QVA
head -c 3000 /dev/urandom > "$for_calc"
export CALVYX_XMODEM_FILE=$for_calc
export CALVYX_SCREENSHOT=$work/screenshot.png

echo "Starting: calvyx QVxT0+ (transfer folder $work/calc)"
"$build/app/calvyx" QVxT0+ > "$work/calvyx.log" 2>&1 &
calvyx=$!

echo "Starting the virtual calculator (USB pipe device under $CALVYX_DEVICE_ROOT)"
set +e
timeout 120 "$build/tools/calvyx-sim" demo --root "$CALVYX_DEVICE_ROOT" --expect "$for_calc" --pause 2500 | sed 's/^/  /'
sim_status=${PIPESTATUS[0]}
set -e
sleep "${CALVYX_DEMO_LINGER:-3}"
stop_calvyx "$calvyx" 10 && calvyx_status=0 || calvyx_status=$?
calvyx=

echo
echo "What happened:"
if [ -f "$work/calc/DEMO.QVA" ]; then
  echo "  - the pushed file arrived: $work/calc/DEMO.QVA ($(stat -c %s "$work/calc/DEMO.QVA") bytes)"
else
  echo "  - the pushed file did not arrive"
fi
[ "$sim_status" -eq 0 ] && echo "  - the calculator's three steps all succeeded" || echo "  - a calculator step failed (see above)"
echo "  - Calvyx closed with exit code $calvyx_status; its settings: $XDG_CONFIG_HOME/Quentar-Varisko/Calvyx.conf"
if [ -f "$work/screenshot.png" ]; then
  echo "  - screenshot of Calvyx showing the pushed screen: $work/screenshot.png"
fi

echo
echo "The PC's own transfers, with calvyx-cli against the virtual calculator:"
. "$top/tools/lib/cli_demo.sh"
mkdir -p "$work/cli"
cli_demo "$build" "$work/cli" && cli_status=0 || cli_status=$?
echo
echo "Everything the demo made is in $work (remove it when done)."

[ "$sim_status" -eq 0 ] && [ "$calvyx_status" -eq 0 ] && [ "$cli_status" -eq 0 ]
