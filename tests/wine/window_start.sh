#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows desktop program under Wine on a virtual X display (Xvfb): it answers
# --version, and a full start shows the main window with its menus, opens the help book
# and ends by itself (CALVYX_EXIT_AFTER_HELP). With SCREENSHOT_PNG set, the main window
# is also drawn into that file (xwd) before the program is closed.
# Run by tools/run-wine-tests.sh, with the Wine prefix and WINEPATH set.
#   window_start.sh WINDOWS_BUILD_DIR
set -euo pipefail
winbuild=$(realpath "${1:?usage: window_start.sh WINDOWS_BUILD_DIR}")
: "${WINEPREFIX:?run with the Wine prefix set (tools/run-wine-tests.sh)}"
program="$winbuild/app/calvyx.exe"
fail() { echo "FAIL window_start: $*"; exit 1; }
[ -f "$program" ] || fail "$program is not built"
command -v Xvfb >/dev/null || fail "Xvfb is not installed (tools/setup-windows.sh)"

out=$(timeout 60 wine64 "$program" --version 2>&1) || fail "calvyx --version failed: $out"
grep -q "^calvyx [0-9]" <<<"$out" || fail "calvyx --version printed: $out"

# A display of its own: Xvfb picks a free number and writes it to the descriptor.
exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
display=
read -r -t 30 -u "$displayfd" display || fail "Xvfb did not start"
export DISPLAY=":$display"
unset QT_QPA_PLATFORM # Qt's own Windows platform, drawn by Wine on the display

out=$(CALVYX_EXIT_AFTER_HELP=1 timeout 120 wine64 "$program" 2>&1) || fail "the window did not come up and end: $out"
grep -q "^calvyx: menus File|ROM|Connection|View|Help" <<<"$out" || fail "no menus: $out"
grep -Eq '^calvyx: help .*"Calvyx Help" [1-9][0-9]* characters, icon 16,32,48,64,128,256' <<<"$out" ||
  fail "the help book did not open: $out"

if [ -n "${SCREENSHOT_PNG:-}" ]; then
  timeout 120 wine64 "$program" >/dev/null 2>&1 &
  app=$!
  window=
  for _ in $(seq 120); do
    window=$(xdotool search --name ' - Calvyx$' 2>/dev/null | head -n1) && [ -n "$window" ] && break
    sleep 0.5
  done
  [ -n "$window" ] || fail "no main window on the display for the picture"
  sleep 3 # the first paint of every part
  xwd -id "$window" -silent | convert xwd:- "$SCREENSHOT_PNG"
  kill "$app" 2>/dev/null || true # ends the Wine process that timeout runs
  wait "$app" 2>/dev/null || true
  echo "window_start: the main window drawn into $SCREENSHOT_PNG"
fi
echo "PASS window_start: calvyx --version, the main window with its menus and the help book under Wine"
