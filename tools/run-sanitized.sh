#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Calvyx with sanitizers in a build folder of its own and runs the whole suite
# under them, with the options and suppressions of tools/sanitize/. Exits non-zero on any
# failing test; a sanitizer report fails the test whose program made it.
#
# Usage: tools/run-sanitized.sh address,undefined|thread|core [build folder] [ctest args...]
#        (default folder build-asan/, build-tsan/ or build-asan-core/; -j2 unless
#        CALVYX_JOBS says otherwise)
# A sanitizer build is slow (several times the plain one) and so is its suite.
#
# core is the lane that the test command (tools/run-tests.sh) runs after the suite: with
# clang, AddressSanitizer and UndefinedBehaviorSanitizer, only the protocol core (util,
# link, xmodem, kermit, services), the virtual calculator's library, the core's tests
# and the fuzz targets; runs those tests and each fuzz target over its seeds
# (fuzz/corpus/<target>/, every file once, no fuzzing).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:?usage: tools/run-sanitized.sh address,undefined|thread|core [build folder] [ctest args...]}
shift
options=()
targets=()
case $kind in
  thread) build=${1:-$top/build-tsan} ;;
  core)
    build=${1:-$top/build-asan-core}
    kind=address,undefined
    # The fuzz targets need clang's libFuzzer; the rest builds with it as well, once.
    export CC=clang CXX=clang++
    options=(-DCALVYX_CORE_ONLY=ON -DCALVYX_FUZZ_SEEDS=ON)
    targets=(tests_util tests_link tests_xmodem tests_kermit tests_services)
    for src in "$top"/fuzz/*.cpp; do targets+=("fuzz_$(basename "$src" .cpp)"); done
    ;;
  *) build=${1:-$top/build-asan} ;;
esac
[ $# -gt 0 ] && shift
jobs=${CALVYX_JOBS:-2}
supp=$top/tools/sanitize

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCALVYX_SANITIZE="$kind" \
  "${options[@]}" "${launcher[@]}" >/dev/null
build=$(cd "$build" && pwd)
start=$(date +%s)
if ((${#targets[@]})); then
  cmake --build "$build" --target "${targets[@]}" -- -j"$jobs"
else
  cmake --build "$build" -- -j"$jobs"
fi
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
reports=
if ((${#targets[@]})); then
  # The lane also writes every report to a file of its own, so that one made by a
  # program whose exit status nobody looks at fails the run as well.
  reports=$build/sanitizer-reports
  rm -rf "$reports"
  mkdir -p "$reports"
  export ASAN_OPTIONS=$ASAN_OPTIONS:log_path=$reports/report
  export UBSAN_OPTIONS=$UBSAN_OPTIONS:log_path=$reports/report
fi
cd "$build"
start=$(date +%s)
rc=0
ctest --output-on-failure --timeout 900 -j"$jobs" "$@" || rc=$?
echo "suite: $(( $(date +%s) - start )) s"
if [ -n "$reports" ] && [ -n "$(ls -A "$reports")" ]; then
  for f in "$reports"/*; do
    echo "==== sanitizer report $f"
    head -60 "$f"
  done
  echo "FAIL: the sanitizers reported $(ls "$reports" | wc -l) time(s) (reports in $reports)"
  rc=1
fi
exit $rc
