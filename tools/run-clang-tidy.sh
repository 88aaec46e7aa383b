#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs clang-tidy with the project's .clang-tidy over the C++ sources of the given
# folders (default: the protocol core, util link xmodem kermit services) and prints each
# finding once, with a count per folder. Exits 1 when there is any finding, 2 when it
# cannot run.
#
# Usage: tools/run-clang-tidy.sh [folder...]    e.g. tools/run-clang-tidy.sh util link
#
# It reads the compile commands of a build folder (build/, or $CALVYX_BUILD_DIR),
# configuring one as tools/build.sh does when there is none; Qt's generated sources are
# made first. A folder's headers are checked through the sources that include them, and
# a finding in a header counts for the header's folder only when that folder is one of
# those given. $CLANG_TIDY names another clang-tidy; $CALVYX_JOBS the runs at once (2).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${CALVYX_BUILD_DIR:-$top/build}
tidy=${CLANG_TIDY:-clang-tidy}
jobs=${CALVYX_JOBS:-2}
folders=("$@")
((${#folders[@]})) || folders=(util link xmodem kermit services)

if ! command -v "$tidy" >/dev/null; then
  echo "run-clang-tidy: $tidy not found (apt-get install clang-tidy)" >&2
  exit 2
fi
for f in "${folders[@]}"; do
  if [ ! -d "$top/$f" ]; then
    echo "run-clang-tidy: no folder $f in $top" >&2
    exit 2
  fi
done

if [ ! -f "$build/compile_commands.json" ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
fi
build=$(cd "$build" && pwd)
# The sources of Qt classes include what moc writes: make it (moc only, no compiling).
mapfile -t autogen < <(cmake --build "$build" -- -t targets all 2>/dev/null | sed -n 's/^\([A-Za-z0-9_.-]*_autogen\): .*/\1/p')
if ((${#autogen[@]})); then
  cmake --build "$build" --target "${autogen[@]}" >/dev/null
fi

# The folders' sources that the build compiles.
mapfile -t sources < <(python3 - "$build/compile_commands.json" "$top" "${folders[@]}" <<'EOF'
import json, os, sys
db, top, folders = sys.argv[1], sys.argv[2], sys.argv[3:]
seen = set()
for entry in json.load(open(db)):
    path = os.path.realpath(os.path.join(entry['directory'], entry['file']))
    rel = os.path.relpath(path, top)
    if os.path.dirname(rel) in folders and path not in seen:
        seen.add(path)
        print(path)
EOF
)
if ((${#sources[@]} == 0)); then
  echo "run-clang-tidy: the build compiles nothing in ${folders[*]}" >&2
  exit 2
fi

# Headers reached through the build's per-layer include folders (build/layers/x/x/...)
# match as well as the source tree's.
alternatives=$(IFS='|'; echo "${folders[*]}")
header_filter="/($alternatives)/[^/]+\.h\$"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
printf '%s\0' "${sources[@]}" |
  xargs -0 -n 1 -P "$jobs" "$tidy" -p "$build" --quiet --header-filter="$header_filter" >"$log" 2>&1 || true

# One line per finding, the header paths of the build's include folders made the source
# tree's; a header included by several sources counts once.
findings=$(grep -E '^/.*:[0-9]+:[0-9]+: (warning|error): ' "$log" |
  sed -E "s#^$build/layers/[^/]+/#$top/#" | sort -u || true)
[ -n "$findings" ] && echo "$findings"
total=0
for f in "${folders[@]}"; do
  n=$(printf '%s\n' "$findings" | grep -c "^$top/$f/[^/]*:" || true)
  checked=$(printf '%s\n' "${sources[@]}" | grep -c "^$top/$f/[^/]*$" || true)
  echo "clang-tidy: $f: $n finding(s), $checked source(s) checked"
  total=$((total + n))
done
if grep -qE '^(Error while processing|error: )' "$log"; then
  grep -E '^(Error while processing|error: )' "$log" | sort -u >&2
  echo "run-clang-tidy: clang-tidy could not process every source" >&2
  exit 2
fi
((total == 0))
