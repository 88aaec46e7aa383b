#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows lane: installs the cross tools and Wine (tools/setup-windows.sh), unpacks
# the Qt for MinGW, cross-builds calvyx, calvyx-cli and the Windows tests (preset
# windows, in build-win/), runs them under Wine with the window on Xvfb and the serial
# check against the Linux calvyx-sim (tools/run-wine-tests.sh), builds the installer and the zip (tools/package-windows.sh)
# and installs and uninstalls them under Wine. Prints the time of each step.
#   tools/run-windows-lane.sh [LINUX_BUILD_DIR]   (default build/, as tools/build.sh)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
linbuild=${1:-${CALVYX_BUILD_DIR:-$top/build}}
lane_start=$SECONDS
step() { # name, command...
  local name=$1; shift
  local start=$SECONDS
  echo "== windows lane: $name"
  "$@"
  echo "== windows lane: $name took $((SECONDS - start)) s"
}

step setup bash tools/setup-windows.sh build-win
# Every warning an error, as in the Linux CI build. A build folder from before the
# desktop program was built for Windows, or without the errors, is configured again.
if [ ! -f build-win/CMakeCache.txt ] || grep -q '^CALVYX_CORE_ONLY:BOOL=ON' build-win/CMakeCache.txt ||
  ! grep -q '^CALVYX_WERROR:BOOL=ON' build-win/CMakeCache.txt; then
  step configure cmake --preset windows -DCALVYX_TESTS=ON -DCALVYX_CORE_ONLY=OFF -DCALVYX_WERROR=ON >/dev/null
fi
step build cmake --build --preset windows --target calvyx calvyx-cli wine_tests
# The serial check plays the calculator with the Linux virtual calculator.
if [ -f "$linbuild/CMakeCache.txt" ]; then
  step "calvyx-sim (Linux)" cmake --build "$linbuild" --target calvyx-sim -j 2
fi
step "tests under Wine" bash tools/run-wine-tests.sh build-win "$linbuild"
step package bash tools/package-windows.sh build-win
export PATH="/usr/lib/wine:$PATH" WINEPREFIX="$top/build-win/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
step "install and uninstall under Wine" bash tests/wine/package_install.sh build-win
wineserver -k 2>/dev/null || true
echo "windows lane: passed in $((SECONDS - lane_start)) s"
