#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# calvyx-cli receive, capture and rom against calvyx-sim, on the USB pipe device and on a
# pseudo-terminal: the files that come out, the exit codes and the failure messages.
set -euo pipefail
build=${1:?build directory}
cli="$build/tools/calvyx-cli"
sim="$build/tools/calvyx-sim"
for p in "$cli" "$sim"; do [ -x "$p" ] || { echo "no $p"; exit 1; }; done

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export CALVYX_DEVICE_ROOT="$work/dev"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Starts calvyx-sim with the given arguments in the background and sets PORT to the
# name it prints for the program (the pty path or the USB device name).
sim_pid=
start_sim() {
    rm -f "$work/sim.out"
    mkfifo "$work/sim.out"
    "$sim" "$@" >"$work/sim.out" 2>"$work/sim.err" &
    sim_pid=$!
    exec 3<"$work/sim.out"
    if ! read -r -t 10 -u 3 PORT; then
        cat "$work/sim.err"
        echo "calvyx-sim did not start: $*"
        exit 1
    fi
}
# Waits for the simulator's end; its exit code is the result.
sim_result() {
    local rc=0
    wait "$sim_pid" || rc=$?
    cat <&3 >"$work/sim.rest" || true
    exec 3<&-
    return "$rc"
}
# Runs calvyx-cli; EXPECT_RC must match. Output in $work/cli.log.
run_cli() {
    local expected=$1; shift
    local rc=0
    timeout 60 "$cli" "$@" >"$work/cli.log" 2>&1 || rc=$?
    if [ "$rc" -ne "$expected" ]; then
        fail "calvyx-cli $* exited $rc, expected $expected"
        sed 's/^/    /' "$work/cli.log"
        return 1
    fi
}

# Runs calvyx-cli capture (EXPECTED exit code, then its arguments) while the calculator
# pushes a screen each time the command says it waits for one: SIGUSR1 to a
# `screen-push --trigger` stands for pressing ON and 1. Output in $work/cli.log.
capture_on_cue() {
    local expected=$1; shift
    rm -f "$work/cli.out"; mkfifo "$work/cli.out"
    timeout 60 "$cli" capture "$@" >"$work/cli.out" 2>&1 &
    local cli_pid=$! line rc=0
    exec 4<"$work/cli.out"
    : >"$work/cli.log"
    while read -r -t 30 -u 4 line; do
        echo "$line" >>"$work/cli.log"
        if [[ "$line" == "Waiting for screen"* ]]; then kill -USR1 "$sim_pid"; fi
    done
    exec 4<&-
    wait "$cli_pid" || rc=$?
    if [ "$rc" -ne "$expected" ]; then
        fail "calvyx-cli capture $* exited $rc, expected $expected"
        sed 's/^/    /' "$work/cli.log"
        return 1
    fi
}

# --- receive: the object on both link kinds, and a block damaged once on the way.
head -c 3000 /dev/urandom >"$work/object"
for kind in usb pty; do
    opts=(); [ "$kind" = usb ] && opts=(--usb)
    start_sim wire-send "${opts[@]}" "$work/object" --damage 2 --burst 100 --gap 20
    if run_cli 0 receive --port "$PORT" --out "$work/received-$kind"; then
        size=$(stat -c %s "$work/received-$kind")
        # 2 blocks of 1024, then 128-byte blocks: 3072 bytes with the padding.
        [ "$size" -eq 3072 ] || fail "receive on $kind: $size bytes"
        cmp -s <(head -c 3000 "$work/received-$kind") "$work/object" || fail "receive on $kind: bytes differ"
        grep -q "Saved 3072 bytes" "$work/cli.log" || fail "receive on $kind: no saved line"
    fi
    sim_result || fail "wire-send on $kind: $(cat "$work/sim.err")"
    echo "ok: receive on $kind"
done

# --- receive into a folder: the object's own name; names already taken, a link that leads
# nowhere included, are numbered past rather than replaced or written through.
{ printf 'QVOBJ\x01\x02\x03\x04PROG'; head -c 500 /dev/urandom; } >"$work/named"
mkdir "$work/inbox"
echo "older" >"$work/inbox/PROG"
ln -s "$work/victim" "$work/inbox/PROG (2)"
start_sim wire-send --usb "$work/named"
if run_cli 0 receive --port QVxT0+ --out "$work/inbox"; then
    cmp -s <(head -c "$(stat -c %s "$work/named")" "$work/inbox/PROG (3)") "$work/named" ||
        fail "receive into a folder: PROG (3) does not hold the object"
    [ "$(cat "$work/inbox/PROG")" = older ] || fail "receive into a folder replaced PROG"
    [ ! -e "$work/victim" ] || fail "receive into a folder wrote through a link"
fi
sim_result || fail "wire-send into a folder: $(cat "$work/sim.err")"
echo "ok: receive into a folder numbers past taken names"

# Ctrl-C during a receive cancels it: four CAN, then ACK, and the command exits 130
# (interrupted).
start_sim usb --usb --expect 15 --timeout 20000 --expect "18 18 18 18 06"
mkfifo "$work/cli.out"
timeout 60 "$cli" receive --port QVxT0+ --out "$work/cancelled" >"$work/cli.out" 2>&1 &
cli_pid=$!
exec 4<"$work/cli.out"
while read -r -t 20 -u 4 line && [[ "$line" != Send* ]]; do :; done
kill -INT "$cli_pid"
cat <&4 >/dev/null || true
exec 4<&-
rc=0; wait "$cli_pid" || rc=$?
[ "$rc" -eq 130 ] || fail "cancelled receive exited $rc, expected 130"
[ ! -e "$work/cancelled" ] || fail "a cancelled receive saved a file"
sim_result && echo "ok: Ctrl-C cancels a receive" || fail "the calculator did not see CAN CAN CAN CAN ACK"

# --- capture: a screen in each layout comes out as the picture of the other; the
# picture of a pushed picture is the same picture.
start_sim screen-push --usb --pattern frame --layout row --trigger
capture_on_cue 0 --port QVxT0+ --out "$work/row.png" --border 0 || true
sim_result || fail "screen-push row"
start_sim screen-push --usb --picture "$work/row.png" --layout page --trigger
capture_on_cue 0 --port QVxT0+ --out "$work/page.png" --border 0 || true
sim_result || fail "screen-push page"
if [ -f "$work/row.png" ] && [ -f "$work/page.png" ]; then
    cmp -s "$work/row.png" "$work/page.png" || fail "the page-layout screen differs from the row-layout one"
    echo "ok: capture in both layouts"
else
    fail "capture produced no pictures"
fi

# Several framed, enlarged screens on a serial line, as numbered BMP files.
start_sim screen-push --pattern checker --count 2 --trigger
if capture_on_cue 0 --port "$PORT" --out "$work/shot.bmp" --count 2 --border 2 --scale 3; then
    for n in 1 2; do
        f="$work/shot-$n.bmp"
        [ "$(head -c 2 "$f" 2>/dev/null)" = BM ] || { fail "$f is not a BMP file"; continue; }
        # 139 x 72 pixels enlarged three times: 417 x 216, little-endian at offset 18.
        dims=$(od -An -t u4 -j 18 -N 8 "$f" | tr -s ' ')
        [ "$dims" = " 417 216" ] || [ "$dims" = " 417 4294967080" ] || fail "$f: size $dims"
    done
    echo "ok: numbered, framed and scaled captures"
fi
sim_result || fail "screen-push on pty"

# --- rom: the stream is checked by the calculator in ROM-load mode.
head -c 70000 /dev/urandom >"$work/os.bin"
start_sim rom-load --usb "$work/os.bin"
run_cli 0 rom --port qvxt0+ "$work/os.bin" &&
    { grep -qxF "ROM loaded: 70,000 bytes" "$work/cli.log" || fail "no ROM result line: $(cat "$work/cli.log")"; }
sim_result && echo "ok: ROM load" || fail "rom-load: $(cat "$work/sim.err")"

# --- failures: exit codes and messages.
start_sim usb --usb --hold
run_cli 1 rom --port QVxT0+ "$work/absent.bin" && {
    grep -qxF "ROM load failed: $work/absent.bin: no such file" "$work/cli.log" ||
        fail "missing ROM file: $(cat "$work/cli.log")"
}
# Files that cannot be a ROM are refused before the port is opened (no calculator is
# needed to see it), and nothing waits on a pipe or reads an endless device.
: >"$work/empty.bin"
mkfifo "$work/rom.fifo"
for bad in "$work/empty.bin:is empty" "$work/rom.fifo:is not a regular file" "/dev/zero:is not a regular file" "$work:is a folder"; do
    run_cli 1 rom --port QVxT0+ "${bad%%:*}" && {
        grep -qF "${bad#*:}" "$work/cli.log" || fail "rom ${bad%%:*}: $(cat "$work/cli.log")"
    }
done
run_cli 2 serve --port QVxT0+ --dir "$work" --xmodem-file "$work/rom.fifo" &&
    { grep -qF -- "--xmodem-file must name a regular file" "$work/cli.log" || fail "serve --xmodem-file fifo: $(cat "$work/cli.log")"; }
# Ctrl-C while capture waits for a screen stops it cleanly and exits 130 too.
for cmd in "capture --port QVxT0+ --out $work/int.png"; do
    rc=0
    timeout 30 "$cli" $cmd >"$work/int.log" 2>&1 &
    cli_pid=$!
    for _ in $(seq 100); do grep -q "Send the object\|Waiting for screen" "$work/int.log" && break; sleep 0.1; done
    kill -INT "$cli_pid"
    wait "$cli_pid" || rc=$?
    [ "$rc" -eq 130 ] || fail "Ctrl-C during calvyx-cli ${cmd%% *}: exit $rc, expected 130: $(cat "$work/int.log")"
done
echo "ok: Ctrl-C exits 130"
kill "$sim_pid"; sim_result || true
run_cli 3 receive --port QVxT0+ --out "$work/x" &&
    { grep -qxF "calvyx-cli receive: cannot open QVxT0+: no such device" "$work/cli.log" || fail "port error text: $(cat "$work/cli.log")"; }
run_cli 3 rom --port "$work/no-tty" "$work/os.bin" || true
run_cli 2 capture --port QVxT0+ --out "$work/shot.jpg" || true
run_cli 2 capture --port QVxT0+ --out "$work/shot.png" --border 6 || true
run_cli 2 receive --port QVxT0+ || true
echo "ok: failures"

# --- the core without windows: calvyx-cli runs where Qt Widgets is not installed.
if ldd "$cli" | grep -qi widgets; then fail "calvyx-cli links Qt Widgets: $(ldd "$cli" | grep -i widgets)"; else echo "ok: no Qt Widgets"; fi

[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "all calvyx-cli transfer checks passed"
