#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The virtual calculator as a USB device (calvyx-sim --usb-device): calvyx-cli reaches it
# through libusb and umockdev, as it would a real calculator's bulk pipes. Each transfer
# kind once, the files byte-identical.
set -euo pipefail
source "$(dirname "$0")/lib/common.bash"
use_programs "${1:?build directory}" calvyx-cli calvyx-sim
# umockdev keeps its test beds under TMPDIR: ours goes with the work folder.
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR" "$work/calc" "$work/pc"
port=usb:1e3a:0401

# Plays a role with calvyx-cli on its bus; both bounded. Logs in $work/NAME.log.
play() { # name, role arguments..., --, calvyx-cli arguments...
  local name=$1; shift
  local role=()
  while [ "$1" != "--" ]; do role+=("$1"); shift; done; shift
  local rc=0
  timeout 60 "$sim" "${role[@]}" --usb-device -- "$cli" "$@" >"$work/$name.log" 2>&1 || rc=$?
  if [ "$rc" -ne 0 ]; then
    fail "$name: calvyx-sim ${role[*]} with calvyx-cli $* exited $rc"
    sed 's/^/    /' "$work/$name.log"
    return 1
  fi
}

head -c 20000 /dev/urandom >"$work/calc/UP.BIN"
play kermit-push kermit-push "$work/calc/UP.BIN" -- serve --port $port --dir "$work/pc" &&
  { cmp "$work/calc/UP.BIN" "$work/pc/UP.BIN" || fail "the pushed file differs"; }

head -c 15000 /dev/urandom >"$work/pc/DOWN.BIN"
play kermit-fetch kermit-fetch DOWN.BIN --out "$work/calc/DOWN.BIN" -- serve --port $port --dir "$work/pc" &&
  { cmp "$work/pc/DOWN.BIN" "$work/calc/DOWN.BIN" || fail "the fetched file differs"; }

# XModem fills its last block: the data must match, the rest is padding.
head -c 3000 /dev/urandom >"$work/pc/X.QVA"
play xmodem xmodem-receive --crc --out "$work/calc/X.QVA" -- serve --port $port --dir "$work/pc" --xmodem-file "$work/pc/X.QVA" &&
  { cmp -n 3000 "$work/pc/X.QVA" "$work/calc/X.QVA" || fail "the XModem data differs"; }

# 5 blocks of 1024 and 3 of 128: no padding.
head -c 5504 /dev/urandom >"$work/calc/OBJ.BIN"
play wire wire-send "$work/calc/OBJ.BIN" -- receive --port $port --out "$work/pc/OBJ.BIN" &&
  { cmp "$work/calc/OBJ.BIN" "$work/pc/OBJ.BIN" || fail "the object received by wire differs"; }

# A screen, then that picture pushed again: the second capture is the first one. The
# calculator pushes (SIGUSR1 to screen-push --trigger: ON and 1 pressed) once capture
# says it waits.
capture() { # name, screen-push arguments..., --, output
  local name=$1; shift
  local role=()
  while [ "$1" != "--" ]; do role+=("$1"); shift; done; shift
  timeout 60 "$sim" screen-push "${role[@]}" --trigger --usb-device -- "$cli" capture --port $port --out "$1" --border 0 \
    >"$work/$name.log" 2>&1 &
  local pid=$! rc=0
  for _ in $(seq 100); do grep -q "^Waiting for screen" "$work/$name.log" && break; sleep 0.1; done
  # The signal goes to calvyx-sim itself, the child of timeout.
  kill -USR1 "$(pgrep -P "$pid" -x calvyx-sim)" 2>/dev/null || true
  wait "$pid" || rc=$?
  if [ "$rc" -ne 0 ]; then
    fail "$name: screen-push ${role[*]} with calvyx-cli capture exited $rc"
    sed 's/^/    /' "$work/$name.log"
    return 1
  fi
}
capture screen1 --pattern checker -- "$work/pc/shot1.png" &&
  capture screen2 --picture "$work/pc/shot1.png" -- "$work/pc/shot2.png" &&
  { cmp "$work/pc/shot1.png" "$work/pc/shot2.png" || fail "the screen changed on its way round"; }
[ "$(head -c 8 "$work/pc/shot1.png" 2>/dev/null | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
  fail "the capture is no PNG picture"

# rom-load checks the stream against the file itself: its exit code says byte-identical.
head -c 307200 /dev/urandom >"$work/pc/os.bin"
play rom rom-load "$work/pc/os.bin" -- rom --port $port "$work/pc/os.bin"

# The role's verdict counts when the program succeeded: a ROM that is not the one the
# calculator expects fails the run.
head -c 4096 /dev/urandom >"$work/pc/other.bin"
rc=0
timeout 30 "$sim" rom-load "$work/pc/os.bin" --wait 5000 --usb-device -- "$cli" rom --port $port "$work/pc/other.bin" \
  >"$work/wrong-rom.log" 2>&1 || rc=$?
[ "$rc" -eq 1 ] || { fail "a ROM that differs: exit $rc, expected 1"; sed 's/^/    /' "$work/wrong-rom.log"; }

# A program that fails gives its exit code, not the role's.
rc=0
timeout 30 "$sim" rom-load "$work/pc/os.bin" --wait 2000 --usb-device -- "$cli" rom --port usb:1e3a:0999 "$work/pc/os.bin" \
  >"$work/absent.log" 2>&1 || rc=$?
[ "$rc" -eq 3 ] || { fail "a device not on the bus: exit $rc, expected 3"; sed 's/^/    /' "$work/absent.log"; }

# Nothing left behind in the test bed folder once calvyx-sim is gone.
left=$(find "$TMPDIR" -mindepth 1 -maxdepth 1 | wc -l)
[ "$left" -eq 0 ] || fail "umockdev folders left behind: $(ls "$TMPDIR")"

[ "$failures" -eq 0 ] && echo "all USB-device transfers passed"
exit "$failures"
