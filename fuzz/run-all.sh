#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets with clang (libFuzzer, ASan and UBSan, the whole core
# instrumented) in their own build folder and runs each one for a while, starting from
# its seeds in fuzz/corpus/<target>/. New inputs go to the build folder, never to the
# seeds. Prints per target the executions, the coverage reached and any finding (the
# input libFuzzer kept, with the first lines of its report); exits 1 if there was one.
#
# Usage: fuzz/run-all.sh [seconds per target] [target ...]
#        fuzz/run-all.sh --runs N [target ...]   (N executions per target instead,
#        however long that takes: `--runs 10000000` is the overnight run)
#        (default 90 seconds; all of fuzz/*.cpp; build folder build-fuzz/, or
#        $CALVYX_FUZZ_BUILD)
# Rerun one finding: build-fuzz/fuzz/fuzz_<target> <crash file>
# Run one target by hand with a folder of its own first, where libFuzzer adds inputs:
#   build-fuzz/fuzz/fuzz_<target> -max_total_time=60 NEW_FOLDER fuzz/corpus/<target>
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
limit=(-max_total_time=90)
if [ "${1:-}" = --runs ]; then
  [[ "${2:-}" =~ ^[0-9]+$ ]] || { echo "usage: $0 --runs N [target ...]" >&2; exit 2; }
  limit=(-runs="$2")
  shift 2
elif [ $# -gt 0 ]; then
  [[ "$1" =~ ^[0-9]+$ ]] || { echo "usage: $0 [seconds per target] [target ...]" >&2; exit 2; }
  limit=(-max_total_time="$1")
  shift
fi
build=${CALVYX_FUZZ_BUILD:-$top/build-fuzz}

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for src in "$top"/fuzz/*.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCALVYX_FUZZ=ON -DCALVYX_TESTS=OFF "${launcher[@]}" >/dev/null || exit 2
# One job: the machine's cores are shared.
cmake --build "$build" --target "${targets[@]/#/fuzz_}" -- -j1 >"$build/fuzz-build.log" 2>&1 || {
  tail -30 "$build/fuzz-build.log"
  exit 2
}

found=0
printf '%-16s %10s %8s %8s %6s  %s\n' target executions exec/s seconds cov findings
for t in "${targets[@]}"; do
  work=$build/fuzz-runs/$t
  rm -rf "$work/findings"
  mkdir -p "$work/corpus" "$work/findings"
  seeds=()
  [ -d "$top/fuzz/corpus/$t" ] && seeds=("$top/fuzz/corpus/$t")
  # -timeout: an input that runs for half a minute is a hang, which is a finding too.
  started=$SECONDS
  "$build/fuzz/fuzz_$t" "${limit[@]}" -timeout=30 -print_final_stats=1 \
    -artifact_prefix="$work/findings/" "$work/corpus" "${seeds[@]}" >"$work/log" 2>&1
  rc=$?
  took=$((SECONDS - started))
  execs=$(awk '/^stat::number_of_executed_units:/ {print $2}' "$work/log")
  rate=$(awk '/^stat::average_exec_per_sec:/ {print $2}' "$work/log")
  cov=$(grep -oE 'cov: [0-9]+' "$work/log" | tail -1 | awk '{print $2}')
  findings=$(ls "$work/findings" 2>/dev/null)
  if [ -n "$findings" ] || [ "$rc" -ne 0 ]; then
    found=1
    printf '%-16s %10s %8s %8s %6s  %s\n' "$t" "${execs:-?}" "${rate:-?}" "$took" "${cov:-?}" "FOUND (exit $rc): $(echo $findings)"
    grep -E -m5 'ERROR|check failed|runtime error|SUMMARY|did not end|clearing' "$work/log" | sed 's/^/    /'
    echo "    full report: $work/log"
  else
    printf '%-16s %10s %8s %8s %6s  %s\n' "$t" "${execs:-?}" "${rate:-?}" "$took" "${cov:-?}" none
  fi
done
exit $found
