#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# lrzsz's sx plays the calculator sending by wire: it talks XModem on its stdin/stdout,
# which are the two FIFOs of a USB pipe device, and `calvyx-cli receive` takes the
# object (the PC starts with NAK on USB: checksum blocks). The saved file must be the
# object followed only by sx's padding.
set -euo pipefail
build=${1:?build directory}
cli="$build/tools/calvyx-cli"
command -v sx >/dev/null || { echo "sx (lrzsz) is not installed"; exit 1; }
[ -x "$cli" ] || { echo "no $cli"; exit 1; }

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export CALVYX_DEVICE_ROOT="$work/dev"
device="$CALVYX_DEVICE_ROOT/QVxT0+"
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Runs sx with its options on a fresh device, then the receive into $2; prints the
# receive's output on failure.
send_and_receive() {
    local object=$1 out=$2; shift 2
    rm -rf "$device"; mkdir -p "$device"
    mkfifo "$device/PIPE0" "$device/PIPE1"
    # Read-write opens of the FIFOs never wait for the other side.
    timeout 60 sx "$@" "$object" <>"$device/PIPE1" 1<>"$device/PIPE0" 2>"$work/sx.log" &
    local sx_pid=$!
    if ! timeout 60 "$cli" receive --port QVxT0+ --out "$out" >"$work/cli.log" 2>&1; then
        cat "$work/cli.log" "$work/sx.log"
        kill "$sx_pid" 2>/dev/null || true
        return 1
    fi
    wait "$sx_pid" || { cat "$work/sx.log"; return 1; }
}

# The saved file is the object, then padding (0x1A) up to a whole 128-byte block.
check_padded() {
    local object=$1 saved=$2 size padded
    size=$(stat -c %s "$object")
    padded=$(stat -c %s "$saved")
    [ $((padded % 128)) -eq 0 ] || { fail "$saved: $padded bytes is not whole blocks"; return; }
    [ "$padded" -ge "$size" ] || { fail "$saved: $padded bytes, shorter than $size"; return; }
    cmp -s <(head -c "$size" "$saved") "$object" || { fail "$saved: the object's bytes differ"; return; }
    local others
    others=$(tail -c +$((size + 1)) "$saved" | tr -d '\032' | wc -c)
    [ "$others" -eq 0 ] || fail "$saved: $others padding bytes are not 1A"
}

for size in 1 128 1000 1152 70000; do
    for mode in 128 1k; do
        object="$work/object-$size"
        head -c "$size" /dev/urandom >"$object"
        flags=()
        [ "$mode" = 1k ] && flags=(-k)
        saved="$work/saved-$size-$mode"
        if send_and_receive "$object" "$saved" "${flags[@]}"; then
            check_padded "$object" "$saved"
            echo "ok: $size bytes, sx ${mode} blocks"
        else
            fail "$size bytes, sx ${mode} blocks: the receive failed"
        fi
    done
done

# Into a folder: the object's header names the file (byte 9 the length, the name after).
mkdir -p "$work/folder"
named="$work/named"
{ printf 'HDR0HDR0\x05HELLO'; head -c 300 /dev/urandom; } >"$named"
if send_and_receive "$named" "$work/folder/" -k; then
    [ -f "$work/folder/HELLO" ] && check_padded "$named" "$work/folder/HELLO" || fail "no file HELLO in the folder: $(ls "$work/folder")"
    # The same object again does not replace the first one.
    send_and_receive "$named" "$work/folder/" -k || fail "second receive into the folder"
    [ -f "$work/folder/HELLO (2)" ] || fail "the second object replaced the first: $(ls "$work/folder")"
    # A name that tries to leave the folder stays in it.
    hostile="$work/hostile"
    { printf 'HDR0HDR0\x07../evil'; head -c 50 /dev/urandom; } >"$hostile"
    send_and_receive "$hostile" "$work/folder/" -k || fail "receive of a hostile name"
    [ -f "$work/folder/.._evil" ] && [ ! -e "$work/evil" ] || fail "hostile name: $(ls "$work" "$work/folder")"
    echo "ok: names from the object's header"
else
    fail "receive into a folder"
fi

[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "all sx interop cases passed"
