#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A class of USB calculators of one id on one bus (calvyx-sim class --usb-device, each in
# its own socket usb:1-2.N): calvyx-cli serve --all finds each by its socket and puts each
# one's file, all of one name, into that socket's inbox byte-identical; calvyx-cli rom
# --all loads one ROM into every calculator at once and fails when the one unplugged in
# the middle fails.
set -euo pipefail
source "$(dirname "$0")/lib/common.bash"
use_programs "${1:?build directory}" calvyx-cli calvyx-sim
# umockdev keeps its test beds under TMPDIR: ours goes with the work folder.
export TMPDIR="$work/tmp" XDG_CONFIG_HOME="$work/config" CALVYX_DEVICE_ROOT="$work/dev"
mkdir -p "$TMPDIR" "$work/served"
fail() { echo "FAIL: $*"; for f in "$work"/*.log; do echo "--- $f"; grep -v "PC:" "$f" | tail -n 30; done; exit 1; }

# ---- serve --all: three calculators push a file of one name ---------------------------
for n in 1 2 3; do
  mkdir -p "$work/calc$n"
  head -c $((2000 + n * 500)) /dev/urandom >"$work/calc$n/ANSWER.TXT"
done
rc=0
timeout 90 "$sim" class --copies 3 --usb-device kermit-push --after 3000 "$work/calc{n}/ANSWER.TXT" -- \
  "$cli" serve --all --dir "$work/served" >"$work/serve.log" 2>&1 || rc=$?
[ "$rc" -eq 0 ] || fail "the class with serve --all exited $rc"
for n in 1 2 3; do
  grep -qxF "[usb:1-2.$n] -- joins: usb:1-2.$n, inbox $work/served/usb:1-2.$n" "$work/serve.log" ||
    fail "calculator $n did not join by its socket"
  cmp -s "$work/calc$n/ANSWER.TXT" "$work/served/usb:1-2.$n/ANSWER.TXT" || fail "calculator $n's file is not in its inbox"
  grep -qxF "[usb:1-2.$n] Stopped: 1 received, 0 sent, 0 failed" "$work/serve.log" || fail "calculator $n's count is wrong"
done
echo "ok: serve --all on three USB calculators of one id, each file in its socket's inbox"

# ---- rom --all: three calculators, the third unplugged in the middle ------------------
head -c 300000 /dev/urandom >"$work/os.bin"
rc=0
timeout 90 "$sim" class --usb-device rom-load --wait 30000 "$work/os.bin" :: rom-load --wait 30000 "$work/os.bin" \
  :: usb --timeout 30000 --expect-count 300 --hangup -- "$cli" rom --all "$work/os.bin" >"$work/rom.log" 2>&1 || rc=$?
[ "$rc" -eq 1 ] || fail "rom --all with one calculator failing exited $rc, not 1"
for n in 1 2; do
  grep -qxF "[usb:1-2.$n] ROM loaded: 300,000 bytes" "$work/rom.log" || fail "no success line of calculator $n"
done
[ "$(grep -c "^ROM of 300000 bytes loaded and verified" "$work/rom.log")" -eq 2 ] || fail "the calculators did not verify two ROMs"
grep -qxF "[usb:1-2.3] failed (exit 1)" "$work/rom.log" || fail "the unplugged calculator is not reported failed"
grep -qxF "ROM loaded into 2 of 3 calculators" "$work/rom.log" || fail "no summary line"
echo "ok: rom --all into three USB calculators at once, the unplugged one reported failed"
