#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds Calvyx into build/ (or $CALVYX_BUILD_DIR).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${CALVYX_BUILD_DIR:-$top/build}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# CALVYX_CMAKE_ARGS: more cache settings (the test command turns warnings into errors).
read -r -a extra <<<"${CALVYX_CMAKE_ARGS:-}"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "${extra[@]}" >/dev/null
cmake --build "$build"
