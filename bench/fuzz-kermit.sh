#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Kermit frame fuzz target with clang (libFuzzer, ASan, UBSan; the whole core
# instrumented) in its own build folder and runs it for a while.
# Usage: bench/fuzz-kermit.sh [seconds]       (default 180; build folder build-fuzz/)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-180}
build=${CALVYX_FUZZ_BUILD:-$top/build-fuzz}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCALVYX_FUZZ=ON -DCALVYX_TESTS=OFF "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" >/dev/null
cmake --build "$build" --target fuzz_kermit_frames -- -j2
corpus=$build/corpus-kermit-frames
mkdir -p "$corpus"
# Seeds: a frame of each kind the calculator sends, and the single start bytes.
printf '\x3f\x01# Y>\r\n' >"$corpus/ack"
printf '\x05\x01%% D#M##\x2b\r\n\x15' >"$corpus/data"
printf '\x3f\x80' >"$corpus/push"
"$build/fuzz/fuzz_kermit_frames" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$corpus" 2>&1 |
  grep -E "^#[0-9]+ +DONE|^stat::|ERROR|SUMMARY|crash-|Done [0-9]+ runs" || true
