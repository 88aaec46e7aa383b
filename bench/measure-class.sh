#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A class at once: CALCULATORS virtual calculators (calvyx-sim class, each on its own
# pseudo-terminal, sending at the line rate of 960 bytes/s) each push a file of SIZE
# bytes, all under one name, into one `calvyx-cli serve` with an inbox per calculator.
# The same push by one calculator alone comes first, as the yardstick. Prints each
# transfer's time beside the one alone (target: the slowest at most 1.05 x), the
# server's CPU time, peak resident memory and open descriptors, and checks every file
# landed byte-identical in its own calculator's inbox. The same class against one serve
# per calculator comes last, for what the machine allows at all. Before all that, the
# time from the start of serve until every line of the class is served (opened and
# drained, its Kermit server listening), from serve's trace.
# Usage: bench/measure-class.sh [build-dir]     (CALCULATORS=30 SIZE=3000 by default)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
cli="$build/tools/calvyx-cli"
sim="$build/tools/calvyx-sim"
[[ -x $cli && -x $sim ]] || cmake --build "$build" --target calvyx-cli calvyx-sim
calculators=${CALCULATORS:-30}
size=${SIZE:-3000}
source "$top/tests/scripts/lib/common.bash"
export XDG_CONFIG_HOME="$work/config"
fail() { echo "FAIL: $*"; for f in "$work"/*.log; do echo "--- $f"; tail -n 20 "$f"; done; exit 1; }
ticks=$(getconf CLK_TCK)

for n in $(seq "$calculators"); do
  mkdir -p "$work/calc/$n"
  head -c "$size" /dev/urandom >"$work/calc/$n/ANSWER.BIN"
done

# Runs COUNT pushing calculators plus one that only holds its line (so that the server
# is still there to be measured when the pushes are over) against one serve.
# Leaves the transfer times in $work/NAME.times and the server's figures in $figures.
run_class() {
  local name=$1 count=$2 ports=()
  local out="$work/$name"
  mkdir -p "$out/served"
  # Time for every line to be opened before the first packet, with room for a loaded
  # machine (see measure_opening for what it takes).
  local after=$((3000 + count * 400))
  "$sim" class --copies "$count" kermit-push --throttle --after "$after" "$work/calc/{n}/ANSWER.BIN" \
    :: pty --hold >"$work/$name-class.log" 2>"$work/$name-class.err.log" &
  local class=$!
  pids+=($class)
  for n in $(seq $((count + 1))); do
    local port
    port=$(class_port "$n" "$work/$name-class.log") || fail "calculator $n printed no port"
    ports+=(--port "$port")
  done
  local serve t0
  t0=$(date +%s%N)
  if [ "$name" = separate ]; then
    # One serve per calculator, each into the folder the class would make its inbox.
    local others=()
    for ((i = 1; i < ${#ports[@]}; i += 2)); do
      local box="$out/served/pts_${ports[i]#/dev/pts/}"
      mkdir -p "$box"
      "$cli" serve --port "${ports[i]}" --dir "$box" >>"$work/$name-serve.log" 2>&1 &
      others+=($!)
      pids+=($!)
    done
    serve=${others[-1]}
  else
    "$cli" serve "${ports[@]}" --dir "$out/served" >"$work/$name-serve.log" 2>&1 &
    serve=$!
    pids+=($serve)
  fi
  # From the start of serve to the line that says every calculator is served.
  opened=-
  if [ "$name" != separate ]; then
    for _ in $(seq 600); do grep -q "^Serving a class" "$work/$name-serve.log" && break; sleep 0.05; done
    opened=$((($(date +%s%N) - t0) / 1000000))
    [ "$opened" -lt "$after" ] || echo "warning: serve took $opened ms to open the lines, the pushes began after $after ms"
  fi
  local bound=$(((after + size * 3) / 100 + 600)) # tenths of a second
  for _ in $(seq "$bound"); do
    [ "$(grep -c ": push .* bytes in " "$work/$name-class.log")" -ge "$count" ] && break
    grep -q "calvyx-sim class: calculator" "$work/$name-class.err.log" && break
    sleep 0.1
  done
  [ "$(grep -c ": push .* bytes in " "$work/$name-class.log")" -eq "$count" ] || fail "not every push of $name ended well"
  sed -n 's/^[0-9]*: push .* bytes in \([0-9.]*\) s$/\1/p' "$work/$name-class.log" >"$work/$name.times"
  local stat cpu
  stat=$(cut -d' ' -f14,15 /proc/"$serve"/stat)
  cpu=$(awk -v t="$ticks" '{printf "%.2f", ($1 + $2) / t}' <<<"$stat")
  figures="$cpu $(awk '/^VmHWM:/ {print $2}' /proc/"$serve"/status) $(ls /proc/"$serve"/fd | wc -l)"
  if [ "$name" = separate ]; then
    # Each serve ends by itself once its calculator hung up: only the times count here.
    figures="- - -"
    for pid in "${others[@]}"; do kill -INT "$pid" 2>/dev/null || true; done
    for pid in "${others[@]}"; do wait "$pid" 2>/dev/null || true; done
  else
    kill -INT "$serve"
    wait "$serve" || true
  fi
  kill -TERM "$class" 2>/dev/null || true
  wait "$class" 2>/dev/null || true
  # Each calculator's file in its own inbox, named by its port: pts_N.
  local bad=0 n=0
  for ((i = 2; i <= ${#ports[@]}; i += 2)); do
    n=$((n + 1))
    [ "$n" -le "$count" ] || break
    local inbox="$out/served/pts_${ports[i - 1]#/dev/pts/}"
    cmp -s "$work/calc/$n/ANSWER.BIN" "$inbox/ANSWER.BIN" || bad=$((bad + 1))
  done
  [ "$bad" -eq 0 ] || fail "$bad of $count files of $name differ from what their calculator sent, or are missing"
}

# Starts serve on COUNT silent calculators and waits for the trace to show every line
# drained: the line's Kermit server listens from then on. Leaves the milliseconds from
# the start of serve in $opening.
measure_opening() {
  local count=$1 name=opening ports=()
  mkdir -p "$work/$name"
  "$sim" class --copies "$count" pty --hold >"$work/$name-class.log" 2>"$work/$name-class.err.log" &
  local class=$!
  pids+=($class)
  for n in $(seq "$count"); do
    local port
    port=$(class_port "$n" "$work/$name-class.log") || fail "calculator $n printed no port"
    ports+=(--port "$port")
  done
  local t0 served=0
  t0=$(date +%s%N)
  CALVYX_TRACE="$work/$name.trace" "$cli" serve "${ports[@]}" --dir "$work/$name" >"$work/$name-serve.log" 2>&1 &
  local serve=$!
  pids+=($serve)
  # The calculators say nothing: each line is drained once, as it is opened.
  for _ in $(seq 1500); do
    served=$(grep -c "Clear completed" "$work/$name.trace" 2>/dev/null || true)
    [ "${served:-0}" -ge "$count" ] && break
    sleep 0.02
  done
  opening=$((($(date +%s%N) - t0) / 1000000))
  [ "${served:-0}" -ge "$count" ] || fail "only ${served:-0} of $count lines were drained"
  kill -INT "$serve"
  wait "$serve" || true
  kill -TERM "$class" 2>/dev/null || true
  wait "$class" 2>/dev/null || true
}

measure_opening 1
opening1=$opening
measure_opening "$calculators"
openingN=$opening

run_class alone 1
read -r cpu1 hwm1 fd1 <<<"$figures"
opened1=$opened
alone=$(cat "$work/alone.times")
run_class class "$calculators"
read -r cpuN hwmN fdN <<<"$figures"
openedN=$opened
# The same class with one serve per calculator: what the machine allows at all.
run_class separate "$calculators"
read -r cpuS hwmS fdS <<<"$figures"
sort -n "$work/separate.times" >"$work/separate-sorted.times"
slowestS=$(tail -n1 "$work/separate-sorted.times")
medianS=$(awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}' "$work/separate-sorted.times")
sort -n "$work/class.times" >"$work/sorted.times"
slowest=$(tail -n1 "$work/sorted.times")
median=$(awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}' "$work/sorted.times")
ratio=$(awk -v s="$slowest" -v a="$alone" 'BEGIN {printf "%.3f", s / a}')

printf '%-34s %12s %14s %16s\n' "" "alone" "$calculators, one serve" "$calculators, $calculators serves"
printf '%-34s %12s %14s %16s\n' "transfer time, s (median)" "$alone" "$median" "$medianS"
printf '%-34s %12s %14s %16s\n' "transfer time, s (slowest)" "$alone" "$slowest" "$slowestS"
printf '%-34s %12s %14s %16s\n' "server CPU time, s" "$cpu1" "$cpuN" "$cpuS"
printf '%-34s %12s %14s %16s\n' "server peak resident memory, KB" "$hwm1" "$hwmN" "$hwmS"
printf '%-34s %12s %14s %16s\n' "server open descriptors" "$fd1" "$fdN" "$fdS"
printf '%-34s %12s %14s %16s\n' "serve's \"Serving a class\" after, ms" "$opened1" "$openedN" "-"
printf '%-34s %12s %14s %16s\n' "every line served after, ms" "$opening1" "$openingN" "-"
echo "load average while measuring: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "slowest of $calculators / alone: $ratio (target <= 1.05); every file byte-identical in its inbox"
awk -v r="$ratio" 'BEGIN {exit !(r <= 1.05)}'
