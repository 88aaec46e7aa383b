#!/usr/bin/env bash
# Builds Calvyx with sanitizers in a build folder of its own and runs the whole suite
# under them, with the options and suppressions of tools/sanitize/. Exits non-zero on any
# failing test; a sanitizer report fails the test whose program made it.
#
# Usage: tools/run-sanitized.sh address,undefined|thread [build folder] [ctest args...]
#        (default folder build-asan/ or build-tsan/; -j2 unless CALVYX_JOBS says otherwise)
# A sanitizer build is slow (several times the plain one) and so is its suite.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:?usage: tools/run-sanitized.sh address,undefined|thread [build folder] [ctest args...]}
shift
case $kind in
  thread) build=${1:-$top/build-tsan} ;;
  *) build=${1:-$top/build-asan} ;;
esac
[ $# -gt 0 ] && shift
jobs=${CALVYX_JOBS:-2}
supp=$top/tools/sanitize

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCALVYX_SANITIZE="$kind" \
  "${launcher[@]}" >/dev/null
start=$(date +%s)
cmake --build "$build" -- -j"$jobs"
echo "build: $(( $(date +%s) - start )) s"

# Every program the tests start (the tools, the scripts' peers' partners) inherits these.
# verify_asan_link_order=0: the USB tests run under umockdev's preload library, which
# comes before the sanitizer runtime; nothing of it is instrumented anyway.
export ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0:detect_stack_use_after_return=0:abort_on_error=0
export LSAN_OPTIONS=suppressions=$supp/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# ignore_noninstrumented_modules: Qt is not built with ThreadSanitizer, so what its own
# code allocates, copies and frees (its thread pool scaling an image, say) is not checked;
# everything this project's code touches still is.
export TSAN_OPTIONS=suppressions=$supp/tsan.supp:print_suppressions=0:second_deadlock_stack=1:history_size=4:ignore_noninstrumented_modules=1
export QT_QPA_PLATFORM=offscreen
cd "$build"
start=$(date +%s)
rc=0
ctest --output-on-failure --timeout 900 -j"$jobs" "$@" || rc=$?
echo "suite: $(( $(date +%s) - start )) s"
exit $rc
