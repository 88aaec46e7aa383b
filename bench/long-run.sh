#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Long run: one `calvyx-cli serve` takes PUSHES pushes in a row from C-Kermit (playing
# the calculator: LEN-80 packets, window 1, block check 1) over a pseudo-terminal pair.
# Prints the server's open descriptors and resident memory after the first push and
# after the last, and checks every pushed file arrived byte-identical.
# Usage: bench/long-run.sh [build-dir]          (PUSHES=500 by default)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
cli="$build/tools/calvyx-cli"
pushes=${PUSHES:-500}
source "$top/tests/scripts/lib/common.bash"
require_tools kermit socat python3
mkdir -p "$work/served" "$work/calc"
python3 -c "
import random, sys
r = random.Random(13)
open(sys.argv[1], 'wb').write(bytes(r.randrange(256) for _ in range(3000)))" "$work/calc/DATA.BIN"

start_pty_pair
start_serve --port "$work/pc" --dir "$work/served"

figures() { # descriptors, resident KB
  echo "$(ls /proc/"$serve"/fd | wc -l) $(awk '/^VmRSS:/ {print $2}' /proc/"$serve"/status)"
}

kermit_script() { # $1 first, $2 last
  cat <<KSC
set line $work/calcport
take $top/tests/scripts/lib/calculator.ksc
cd $work/calc
for \%i $1 $2 1 { send /as-name:P\%i.BIN DATA.BIN, if fail exit 1 push \%i failed }
exit 0
KSC
}
kermit_script 1 1 >"$work/first.ksc"
kermit_script 2 "$pushes" >"$work/rest.ksc"
timeout 60 kermit "$work/first.ksc" -Y >"$work/kermit.log" 2>&1 </dev/null || { echo "FAIL: first push"; cat "$work/kermit.log"; exit 1; }
read -r fd0 rss0 < <(figures)
start=$(date +%s)
timeout 3600 kermit "$work/rest.ksc" -Y >>"$work/kermit.log" 2>&1 </dev/null || { echo "FAIL: a push failed"; tail "$work/kermit.log"; exit 1; }
seconds=$(( $(date +%s) - start ))
read -r fd1 rss1 < <(figures)
kill -INT "$serve"; wait "$serve" || true

bad=0
for i in $(seq 1 "$pushes"); do cmp -s "$work/calc/DATA.BIN" "$work/served/P$i.BIN" || bad=$((bad + 1)); done
printf '%-22s %12s %12s\n' "" "after push 1" "after push $pushes"
printf '%-22s %12s %12s\n' "open descriptors" "$fd0" "$fd1"
printf '%-22s %12s %12s\n' "resident memory (KB)" "$rss0" "$rss1"
echo "pushes: $pushes in a row in ${seconds} s; files differing: $bad"
[ "$bad" -eq 0 ] && [ "$fd1" -le "$fd0" ] && [ "$rss1" -le $(( rss0 + 1024 )) ]
