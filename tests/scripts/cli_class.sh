#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A class of virtual calculators (calvyx-sim class, each on its own pseudo-terminal)
# against one calvyx-cli: serve with several --port options puts each calculator's file
# into its own inbox (a label given on the command line, else the port's name), even
# under the same name, prefixes each calculator's lines and counts each on its own; rom
# with several --port loads every calculator at once and fails when one of them fails.
set -euo pipefail
build=${1:?usage: cli_class.sh BUILD_DIR}
cli="$build/tools/calvyx-cli"
sim="$build/tools/calvyx-sim"
source "$(dirname "$0")/lib/common.bash"
export XDG_CONFIG_HOME="$work/config"
fail() { echo "FAIL: $*"; for f in "$work"/*.log; do echo "--- $f"; cat "$f"; done; exit 1; }

# Waits (bounded) for process PID to end; its exit code is left in $rc.
wait_bounded() {
  local pid=$1 what=$2
  for _ in $(seq 600); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "$what did not end within 60 s"
  rc=0
  wait "$pid" || rc=$?
}

# ---- serve: two calculators, one name, two inboxes ------------------------------------
mkdir -p "$work/a" "$work/b" "$work/served"
head -c 3000 /dev/urandom >"$work/a/ANSWER.TXT"
head -c 2500 /dev/urandom >"$work/b/ANSWER.TXT"
# Two calculators push; the third only holds its line until it is told to stop.
"$sim" class kermit-push --after 2000 "$work/a/ANSWER.TXT" :: kermit-push --after 2000 "$work/b/ANSWER.TXT" \
  :: pty --hold >"$work/class.log" 2>"$work/class.err.log" &
class=$!
pids+=($class)
p1=$(class_port 1 "$work/class.log")
p2=$(class_port 2 "$work/class.log")
p3=$(class_port 3 "$work/class.log")
"$cli" serve --port "$p1" --port "$p2" --port "$p3" --dir "$work/served" --label "$p1=Ana" >"$work/serve.log" 2>&1 &
serve=$!
pids+=($serve)
for _ in $(seq 600); do [ "$(grep -c ": push .*: done$" "$work/class.log")" -ge 2 ] && break; sleep 0.1; done
[ "$(grep -c ": push .*: done$" "$work/class.log")" -eq 2 ] || fail "the two pushes did not both end well"
box2="$work/served/pts_${p2#/dev/pts/}"
cmp -s "$work/a/ANSWER.TXT" "$work/served/Ana/ANSWER.TXT" || fail "Ana's file is not in her inbox, byte for byte"
cmp -s "$work/b/ANSWER.TXT" "$box2/ANSWER.TXT" || fail "the second calculator's file is not in $box2"
[ ! -e "$work/served/ANSWER.TXT" ] || fail "a pushed file landed in the served folder itself"
# The two that pushed are gone with their pseudo-terminals (never reopened); the class
# goes on with the third until Ctrl-C.
for _ in $(seq 100); do [ "$(grep -c "hung up; a pseudo-terminal" "$work/serve.log")" -ge 2 ] && break; sleep 0.1; done
kill -0 "$serve" 2>/dev/null || fail "serve ended while a calculator was still there"
kill -INT "$serve"
wait_bounded "$serve" "calvyx-cli serve"
[ "$rc" -eq 0 ] || fail "calvyx-cli serve exited $rc after SIGINT, not 0"
grep -qxF "[$p3] Stopped: 0 received, 0 sent, 0 failed" "$work/serve.log" || fail "the third calculator's count is wrong"
grep -qxF "[Ana] Serving $p1 from $work/served" "$work/serve.log" || fail "no [Ana] Serving line"
grep -qxF "[$p2] Serving $p2 from $work/served" "$work/serve.log" || fail "no Serving line of the calculator without a label"
grep -q "^\[Ana\] == " "$work/serve.log" || fail "Ana's transfer lines carry no prefix"
grep -qxF "[Ana] Stopped: 1 received, 0 sent, 0 failed, hung up" "$work/serve.log" || fail "Ana's count is missing or wrong"
grep -qxF "[$p2] Stopped: 1 received, 0 sent, 0 failed, hung up" "$work/serve.log" ||
  fail "the second calculator's count is wrong"
[ "$(tail -n1 "$work/serve.log")" = "Stopped" ] || fail "serve did not end with Stopped"
kill -TERM "$class"
wait_bounded "$class" "the class of calculators"
echo "ok: two calculators, one file name, each file in its own inbox"

# ---- rom: three calculators at once, one of them hangs up in the middle -----------------
# Settings of their own: the label above stays with its port name, which a new
# pseudo-terminal may have again.
export XDG_CONFIG_HOME="$work/config-rom"
head -c 40000 /dev/urandom >"$work/os.bin"
"$sim" class rom-load --wait 30000 "$work/os.bin" :: rom-load --wait 30000 "$work/os.bin" \
  :: pty --pace 200 --timeout 30000 --expect-count 300 --hangup >"$work/romclass.log" 2>"$work/romclass.err.log" &
romclass=$!
pids+=($romclass)
r1=$(class_port 1 "$work/romclass.log")
r2=$(class_port 2 "$work/romclass.log")
r3=$(class_port 3 "$work/romclass.log")
"$cli" rom --port "$r1" --port "$r2" --port "$r3" "$work/os.bin" >"$work/rom.log" 2>&1 &
rom=$!
pids+=($rom)
wait_bounded "$rom" "calvyx-cli rom"
[ "$rc" -eq 1 ] || fail "calvyx-cli rom exited $rc with one calculator failing, not 1"
for p in "$r1" "$r2"; do
  grep -qxF "[$p] ROM loaded: 40,000 bytes" "$work/rom.log" || fail "no success line of $p"
  grep -qxF "[$p] loaded" "$work/rom.log" || fail "$p is not reported loaded"
done
grep -qxF "[$r3] failed (exit 1)" "$work/rom.log" || fail "the calculator that hung up is not reported failed"
grep -qxF "ROM loaded into 2 of 3 calculators" "$work/rom.log" || fail "no summary line"
wait_bounded "$romclass" "the class in ROM-load mode"
grep -q "^1: ROM of 40000 bytes loaded and verified" "$work/romclass.log" || fail "calculator 1 did not verify its ROM"
grep -q "^2: ROM of 40000 bytes loaded and verified" "$work/romclass.log" || fail "calculator 2 did not verify its ROM"
echo "ok: one ROM into three calculators at once, the one that hung up reported failed"
