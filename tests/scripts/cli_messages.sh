#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# calvyx-cli keeps its streams apart: what a command does on stdout, every error as one
# line on stderr, in the form its --help and manual page give: a port that cannot be
# opened ("calvyx-cli COMMAND: cannot open PORT: WHY", exit 3, nothing on stdout), a
# file that cannot be a ROM and a ROM load that breaks off ("ROM load failed: WHY",
# exit 1), and a load that succeeds (stdout only).
set -euo pipefail
build=${1:?build directory}
cli="$build/tools/calvyx-cli"
sim="$build/tools/calvyx-sim"
for p in "$cli" "$sim"; do [ -x "$p" ] || { echo "no $p"; exit 1; }; done
source "$(dirname "$0")/lib/common.bash"
export CALVYX_DEVICE_ROOT="$work/dev"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run EXPECTED_RC ARGS...: calvyx-cli with stdout in $work/out, stderr in $work/err.
run() {
  local expected=$1 rc=0
  shift
  timeout 60 "$cli" "$@" >"$work/out" 2>"$work/err" || rc=$?
  [ "$rc" -eq "$expected" ] || { fail "calvyx-cli $* exited $rc, expected $expected"; sed 's/^/    err: /' "$work/err"; return 1; }
}
# The error is exactly one line on stderr, and stdout holds nothing.
only_error() {
  local what=$1 line=$2
  [ ! -s "$work/out" ] || fail "$what wrote to stdout: $(cat "$work/out")"
  [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$what: not one line on stderr: $(cat "$work/err")"
  [ "$(cat "$work/err")" = "$line" ] || fail "$what: stderr was '$(cat "$work/err")', expected '$line'"
}

head -c 5000 /dev/urandom >"$work/os.bin"
head -c 200000 /dev/urandom >"$work/big.bin" # more than a line's buffers hold
: >"$work/empty.bin"
mkfifo "$work/rom.fifo"
missing="$work/no-tty"

# --- a port that cannot be opened, for every command that opens one.
cases=(
  "rom|rom --port $missing $work/os.bin"
  "receive|receive --port $missing --out $work"
  "serve|serve --port $missing --dir $work"
  "capture|capture --port $missing --out $work/shot.png"
)
for c in "${cases[@]}"; do
  command=${c%%|*}
  # shellcheck disable=SC2086
  run 3 ${c#*|} && only_error "$command on a missing port" "calvyx-cli $command: cannot open $missing: no such device"
done
# The USB link, when no calculator is there, names itself in its one spelling.
run 3 rom --port qvxt0+ "$work/os.bin" && only_error "rom on QVxT0+" "calvyx-cli rom: cannot open qvxt0+: no such device"

# --- a file that cannot be a ROM: refused before the port is opened.
for c in "$work/absent.bin|$work/absent.bin: no such file" "$work/empty.bin|$work/empty.bin is empty" \
  "$work/rom.fifo|$work/rom.fifo is not a regular file: its size cannot be announced to the calculator" \
  "$work|$work is a folder, not a ROM file"; do
  run 1 rom --port "$missing" "${c%%|*}" && only_error "rom ${c%%|*}" "ROM load failed: ${c#*|}"
done

# --- a load that breaks off: the calculator takes 200 bytes/s and hangs up after 1.5 s,
# long before the stream is through.
"$sim" pty --pace 200 --sleep 1500 --hangup >"$work/sim.out" 2>"$work/sim.err" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/sim.out" ] && break; sleep 0.05; done
port=$(head -n1 "$work/sim.out")
[ -n "$port" ] || { echo "FAIL: calvyx-sim printed no port: $(cat "$work/sim.err")"; exit 1; }
if run 1 rom --port "$port" "$work/big.bin"; then
  [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q "^ROM load failed: ." "$work/err" ||
    fail "a broken-off load: stderr was '$(cat "$work/err")'"
  grep -qxF "Device connected on $port" "$work/out" || fail "a broken-off load: no connection line: $(cat "$work/out")"
  ! grep -q "Opening" "$work/out" || fail "a broken-off load: an 'Opening' line on stdout"
  ! grep -q "ROM load failed" "$work/out" || fail "a broken-off load: the failure on stdout"
fi

# --- a load that succeeds: stdout only, ending with the result.
"$sim" rom-load --usb "$work/os.bin" >"$work/sim.out" 2>"$work/sim.err" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/sim.out" ] && break; sleep 0.05; done
if run 0 rom --port qvxt0+ "$work/os.bin"; then
  [ ! -s "$work/err" ] || fail "a good load wrote to stderr: $(cat "$work/err")"
  [ "$(tail -n1 "$work/out")" = "ROM loaded: 5,000 bytes" ] || fail "a good load ended with '$(tail -n1 "$work/out")'"
  grep -qxF "Device connected on QVxT0+" "$work/out" || fail "the USB link is not shown as QVxT0+: $(cat "$work/out")"
fi

[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "calvyx-cli keeps its output and its errors apart, in the documented forms"
