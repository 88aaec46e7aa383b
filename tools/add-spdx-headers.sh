#!/usr/bin/env bash
# Puts the licence's SPDX line on every source file of the project that git tracks:
# C++ files get "// SPDX-License-Identifier: GPL-3.0-or-later" as their first line,
# scripts and CMake files "# ..." (after a "#!" line). A file that names its licence in
# its first lines already is left alone, so the script can run again after new files
# come. --check only lists the files without the line and exits 1 when there are any.
#
#   tools/add-spdx-headers.sh [--check]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
tag="SPDX-License-Identifier: GPL-3.0-or-later"
check=0
[ "${1:-}" = "--check" ] && check=1
missing=0
while IFS= read -r -d '' file; do
  [ -s "$file" ] || continue
  head -n 3 "$file" | grep -q "SPDX-License-Identifier:" && continue
  if ((check)); then
    echo "$file"
    missing=$((missing + 1))
    continue
  fi
  case $file in
    *.cpp | *.h) line="// $tag" ;;
    *) line="# $tag" ;;
  esac
  if head -n 1 "$file" | grep -q '^#!'; then
    sed -i "1a $line" "$file"
  else
    sed -i "1i $line" "$file"
  fi
done < <(git ls-files -z -- '*.cpp' '*.h' '*.sh' '*.bash' '*.cmake' 'CMakeLists.txt' '*/CMakeLists.txt')
if ((check && missing)); then
  echo "add-spdx-headers: $missing file(s) above lack the SPDX line (bash tools/add-spdx-headers.sh adds it)" >&2
  exit 1
fi
exit 0
