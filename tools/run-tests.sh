#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The test command: installs what is missing, builds, runs the whole suite with CTest,
# then the checks of the sources (clang-format leaves the tree as it is, clang-tidy finds
# nothing in the core: tools/run-clang-tidy.sh), then the sanitizer lane (tools/run-sanitized.sh core: the protocol core and its tests,
# and each fuzz target over its seeds, under AddressSanitizer and UndefinedBehavior-
# Sanitizer, in build-asan-core/). Exits non-zero on any failure of either, a sanitizer
# report included. No display is needed (widgets run offscreen).
# CALVYX_SANITIZER_LANE=0 leaves the lane out (a quicker run while working; CI runs it).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/setup-debian.sh"
# A warning fails the build here: the tree has none.
CALVYX_CMAKE_ARGS="-DCALVYX_WERROR=ON ${CALVYX_CMAKE_ARGS:-}" bash "$top/tools/build.sh"
build=${CALVYX_BUILD_DIR:-$top/build}
rc=0
(
  export QT_QPA_PLATFORM=offscreen
  cd "$build"
  ctest --output-on-failure --timeout 300 -j "$(nproc)"
) || rc=1
# The layout of every C++ file is the one .clang-format gives.
(cd "$top" && git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror) || {
  echo "clang-format: the files above are not formatted (clang-format -i FILE)"
  rc=1
}
CALVYX_BUILD_DIR="$build" bash "$top/tools/run-clang-tidy.sh" util link xmodem kermit services || rc=1
if [ "${CALVYX_SANITIZER_LANE:-1}" != 0 ]; then
  start=$SECONDS
  bash "$top/tools/run-sanitized.sh" core || rc=1
  echo "sanitizer lane: $((SECONDS - start)) s"
fi
exit $rc
