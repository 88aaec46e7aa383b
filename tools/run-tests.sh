#!/usr/bin/env bash
# The test command: installs what is missing, builds, runs the whole suite with CTest.
# Exits non-zero on any failure. No display is needed (widgets run offscreen).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/setup-debian.sh"
bash "$top/tools/build.sh"
build=${CALVYX_BUILD_DIR:-$top/build}
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure --timeout 300 -j "$(nproc)"
