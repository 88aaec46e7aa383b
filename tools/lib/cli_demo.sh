# SPDX-License-Identifier: GPL-3.0-or-later
# The transfers the PC starts itself, shown with calvyx-cli against the virtual
# calculator on the USB pipe device: an object received by wire, the calculator's screen
# captured to a PNG picture, and a ROM loaded. Source it, then call
#   cli_demo BUILD_DIR WORK_DIR
# It prints what happened and returns non-zero when a step failed.

# Runs one step: the calculator's role in the background, calvyx-cli in the foreground.
_cli_demo_step() {
    local title=$1 log=$2; shift 2
    local sim_args=() cli_args=()
    while [ "$1" != "--" ]; do sim_args+=("$1"); shift; done
    shift
    cli_args=("$@")
    echo "$title"
    # The calculator's first line names its port: the device exists from then on.
    rm -f "$log.fifo"; mkfifo "$log.fifo"
    "$_cli_demo_build/tools/calvyx-sim" "${sim_args[@]}" >"$log.fifo" 2>"$log.sim" &
    local sim=$! port rest
    exec 5<"$log.fifo"
    read -r -t 10 -u 5 port || {
        exec 5<&-
        kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null
        echo "    the virtual calculator did not start"; return 1
    }
    cat <&5 >>"$log.sim" &
    local rest=$!
    exec 5<&-
    # calvyx-cli says when it waits for a screen: SIGUSR1 makes the calculator push it
    # then, as a user pressing ON and 1 would.
    local rc=0 cli line
    rm -f "$log.out"; mkfifo "$log.out"
    timeout 60 "$_cli_demo_build/tools/calvyx-cli" "${cli_args[@]}" >"$log.out" 2>&1 &
    cli=$!
    exec 6<"$log.out"
    : >"$log.cli"
    while read -r -t 30 -u 6 line; do
        echo "$line" >>"$log.cli"
        if [[ "$line" == "Waiting for screen"* ]]; then kill -USR1 "$sim" 2>/dev/null || true; fi
    done
    exec 6<&-
    wait "$cli" || rc=$?
    local sim_rc=0
    wait "$sim" || sim_rc=$?
    grep -v '^\[' "$log.cli" | sed 's/^/    pc: /'
    wait "$rest" || true
    sed 's/^/    calculator: /' "$log.sim"
    [ "$rc" -eq 0 ] && [ "$sim_rc" -eq 0 ]
}

cli_demo() {
    _cli_demo_build=$1
    local work=$2 failures=0
    mkdir -p "$work/received"
    # A Calcapp whose header names it DEMOAPP (byte 9 the name's length).
    { printf 'QVCALC\001\000\007DEMOAPP'; head -c 2500 /dev/urandom; } >"$work/demoapp.bin"
    head -c 300000 /dev/urandom >"$work/os.bin"

    _cli_demo_step "Receive by wire: the calculator sends DEMOAPP from its send menu" "$work/receive" \
        wire-send --usb --root "$CALVYX_DEVICE_ROOT" "$work/demoapp.bin" -- \
        receive --port QVxT0+ --out "$work/received/" || failures=$((failures + 1))
    _cli_demo_step "Screen capture: ON and 1 pressed on the calculator" "$work/capture" \
        screen-push --usb --root "$CALVYX_DEVICE_ROOT" --pattern frame --trigger -- \
        capture --port QVxT0+ --out "$work/screen.png" --scale 2 || failures=$((failures + 1))
    _cli_demo_step "ROM load: the calculator waits in its ROM-load mode" "$work/rom" \
        rom-load --usb --root "$CALVYX_DEVICE_ROOT" "$work/os.bin" -- \
        rom --port QVxT0+ "$work/os.bin" || failures=$((failures + 1))

    echo
    echo "What the PC's own transfers left:"
    [ -f "$work/received/DEMOAPP" ] && echo "  - the object received by wire: $work/received/DEMOAPP" ||
        echo "  - no object was received by wire"
    [ -f "$work/screen.png" ] && echo "  - the captured screen: $work/screen.png" || echo "  - no screen was captured"
    [ "$failures" -eq 0 ] && echo "  - the ROM was loaded and checked by the calculator" || echo "  - $failures step(s) failed"
    [ "$failures" -eq 0 ]
}
