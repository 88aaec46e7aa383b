#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the Windows build's tests under Wine: every test program of tests/wine (all its
# cases in one start), the desktop program's window on Xvfb (tests/wine/window_start.sh),
# then the Windows calvyx-cli serve against the Linux calvyx-sim on
# a COM port mapped to a pseudo-terminal (tests/wine/cli_serve_com.sh) and on one the
# registry lists (tests/wine/devices_com.sh).
#   tools/run-wine-tests.sh [WINDOWS_BUILD_DIR] [LINUX_BUILD_DIR]
# The Wine prefix is WINDOWS_BUILD_DIR/wine, made on first use (wineboot). Without a
# Linux build that has calvyx-sim the serial check is skipped, and said so.
set -euo pipefail
cd "$(dirname "$0")/.."
winbuild=$(realpath "${1:-build-win}")
linbuild=${2:-build}
qt=${CALVYX_QT_MINGW:-$winbuild/qt}
[ -d "$winbuild/tests/wine" ] || { echo "run-wine-tests: no Windows test build in $winbuild"; exit 1; }

# Debian's wine64 package keeps its programs in /usr/lib/wine.
export PATH="/usr/lib/wine:$PATH"
command -v wine64 >/dev/null || { echo "run-wine-tests: wine64 is not installed (tools/setup-windows.sh)"; exit 1; }
export WINEPREFIX="$winbuild/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
# The Qt DLLs and plugins, the MinGW runtime (libstdc++, libgcc, winpthread).
gccdir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
export WINEPATH="Z:$qt/bin;Z:$gccdir;Z:/usr/x86_64-w64-mingw32/lib"
export QT_PLUGIN_PATH="Z:$qt/plugins" QT_QPA_PLATFORM=offscreen
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  start=$(date +%s)
  timeout 300 wine64 wineboot --init >/dev/null 2>&1 || { echo "run-wine-tests: wineboot failed"; exit 1; }
  echo "run-wine-tests: Wine prefix made in $(( $(date +%s) - start )) s"
fi

failed=()
for program in "$winbuild"/tests/wine/wine_tests_*.exe; do
  name=$(basename "$program" .exe)
  log="$winbuild/tests/wine/$name.log"
  start=$(date +%s)
  rc=0
  # Each program in a fresh temporary folder of its own, removed afterwards.
  tmp=$(mktemp -d)
  (cd "$tmp" && TMP="Z:$tmp" TEMP="Z:$tmp" timeout 600 wine64 "$program" >"$log" 2>&1) || rc=$?
  rm -rf "$tmp"
  summary=$(grep -E '^\[  PASSED  \]|^\[  FAILED  \].*tests?, listed' "$log" | tr '\n' ' ')
  if [ $rc -eq 0 ] && grep -q '^\[  PASSED  \]' "$log"; then
    echo "PASS $name: $summary($(( $(date +%s) - start )) s)"
  else
    echo "FAIL $name (exit $rc): $summary"
    grep -E '^\[  FAILED  \]|Failure|error' "$log" | head -20
    failed+=("$name")
  fi
done

# The serial backend's limits, cancel and stop on COM8, a pseudo-terminal's far end
# answering in Python.
log="$winbuild/tests/wine/serial_com_tests.log"
start=$(date +%s)
rc=0
CALVYX_TEST_COM=COM8 timeout 300 python3 tests/wine/serial_peer.py "$WINEPREFIX/dosdevices/com8" \
  wine64 "$winbuild/tests/wine/serial_com_tests.exe" >"$log" 2>&1 || rc=$?
summary=$(grep -E '^\[  PASSED  \]|^\[  FAILED  \].*tests?, listed' "$log" | tr '\n' ' ')
if [ $rc -eq 0 ] && grep -q '^\[  PASSED  \]' "$log"; then
  echo "PASS serial_com_tests: $summary($(( $(date +%s) - start )) s)"
else
  echo "FAIL serial_com_tests (exit $rc): $summary"
  grep -E '^\[  FAILED  \]|Failure|error|Expected|Which' "$log" | head -20
  failed+=(serial_com_tests)
fi

# The desktop program: its window on a virtual display, its menus and the help book.
if [ -f "$winbuild/app/calvyx.exe" ]; then
  start=$(date +%s)
  if timeout 300 bash tests/wine/window_start.sh "$winbuild"; then
    echo "($(( $(date +%s) - start )) s)"
  else
    failed+=(window_start)
  fi
else
  echo "SKIP window_start: no calvyx.exe in $winbuild/app"
fi

if [ -x "$linbuild/tools/calvyx-sim" ]; then
  start=$(date +%s)
  if CALVYX_WINE=wine64 timeout 600 bash tests/wine/cli_serve_com.sh "$winbuild" "$linbuild"; then
    echo "($(( $(date +%s) - start )) s)"
  else
    failed+=(cli_serve_com)
  fi
  start=$(date +%s)
  if CALVYX_WINE=wine64 timeout 300 bash tests/wine/devices_com.sh "$winbuild" "$linbuild"; then
    echo "($(( $(date +%s) - start )) s)"
  else
    failed+=(devices_com)
  fi
else
  echo "SKIP cli_serve_com, devices_com: no Linux calvyx-sim in $linbuild"
fi

wineserver -k 2>/dev/null || true
if ((${#failed[@]})); then
  echo "run-wine-tests: failed: ${failed[*]}"
  exit 1
fi
echo "run-wine-tests: all passed"
