# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the scripted checks (sourced, not run): a work folder removed on exit with
# the background processes the script started, the tools a check needs, a socat
# pseudo-terminal pair and a calvyx-cli serve waited for until it listens.
# KEEP_WORK=1 keeps the folder for a look after a failure.

pids=()
work=$(mktemp -d)
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  if [ -n "${KEEP_WORK:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

# Fails the check with a clear message when a tool it needs is missing.
require_tools() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool not installed (tools/setup-debian.sh installs it)"; exit 1; }
  done
}

# A pseudo-terminal pair: $work/pc for the program, $work/calcport for the peer.
start_pty_pair() {
  socat pty,raw,echo=0,link="$work/pc" pty,raw,echo=0,link="$work/calcport" 2>"$work/socat.log" &
  pids+=($!)
  for _ in $(seq 50); do [ -e "$work/pc" ] && [ -e "$work/calcport" ] && return 0; sleep 0.1; done
  echo "FAIL: socat made no pty pair"; cat "$work/socat.log"; exit 1
}

# Starts `calvyx-cli serve` with the given options (output in $work/serve.log) and waits
# until it listens; its process id is left in $serve.
start_serve() {
  "$cli" serve "$@" >"$work/serve.log" 2>&1 &
  serve=$!
  pids+=($serve)
  for _ in $(seq 100); do grep -q "^Serving" "$work/serve.log" 2>/dev/null && return 0; sleep 0.1; done
  echo "FAIL: calvyx-cli serve did not start"; cat "$work/serve.log"; exit 1
}

# use_programs BUILD [PROGRAM...]: $build, $cli and $sim of that build; each PROGRAM
# named (calvyx-cli, calvyx-sim) must be built, or the check fails saying so.
use_programs() {
  build=$1
  shift
  cli="$build/tools/calvyx-cli"
  sim="$build/tools/calvyx-sim"
  for p in "$@"; do [ -x "$build/tools/$p" ] || { echo "FAIL: no $build/tools/$p (build it first)"; exit 1; }; done
}

# Checks that go on after a failure: fail counts it (a script that stops at the first
# failure defines its own), run_cli EXPECTED ARGS... checks calvyx-cli's exit code
# (output in $work/out), end_checks MESSAGE ends the script with the count or MESSAGE.
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
run_cli() {
  local expected=$1
  shift
  local rc=0
  timeout 30 "$cli" "$@" >"$work/out" 2>&1 || rc=$?
  [ "$rc" -eq "$expected" ] || { fail "calvyx-cli $* exited $rc, expected $expected"; sed 's/^/    /' "$work/out"; }
}
end_checks() {
  [ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
  echo "$1"
}

# class_port N LOG: the port calculator N of a `calvyx-sim class` printed into LOG
# ("N: /dev/pts/M"), waited for up to 10 s. Without one it says so and fails (call it as
# port=$(class_port N LOG) under set -e).
class_port() {
  local n=$1 file=$2 port=""
  for _ in $(seq 100); do
    port=$(sed -n "s/^$n: \(\/dev\/.*\)$/\1/p" "$file" | head -n1)
    [ -n "$port" ] && { echo "$port"; return 0; }
    sleep 0.1
  done
  echo "FAIL: calculator $n of the class printed no port" >&2
  return 1
}

# use_wine_programs SCRIPT WINDOWS_BUILD LINUX_BUILD: for the checks that
# tools/run-wine-tests.sh runs, $cli the Windows calvyx-cli.exe, $sim the Linux
# calvyx-sim playing the calculator and $wine the Wine to start the first with.
use_wine_programs() {
  local usage="usage: $1 WINDOWS_BUILD_DIR LINUX_BUILD_DIR"
  winbuild=$(realpath "${2:?$usage}")
  linbuild=$(realpath "${3:?$usage}")
  cli="$winbuild/tools/calvyx-cli.exe"
  sim="$linbuild/tools/calvyx-sim"
  : "${WINEPREFIX:?run by tools/run-wine-tests.sh}"
  wine=${CALVYX_WINE:-wine64}
  [ -x "$sim" ] || { echo "FAIL: no Linux calvyx-sim in $linbuild (build the calvyx-sim target)"; exit 1; }
}
