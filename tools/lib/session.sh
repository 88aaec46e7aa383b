# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the demo and the end-to-end check: a private session for calvyx (its own
# settings, runtime, trash and device root under one temporary folder) and an X display
# for it when there is none. Source it; every function reports failures on stderr.

# session_init DIR: creates the folders and exports the variables calvyx reads.
session_init() {
  local dir=$1
  mkdir -p "$dir"/{config/Quentar-Varisko,runtime,data,devices,calc}
  chmod 700 "$dir/runtime" "$dir/devices"
  export XDG_CONFIG_HOME=$dir/config XDG_RUNTIME_DIR=$dir/runtime XDG_DATA_HOME=$dir/data
  export CALVYX_DEVICE_ROOT=$dir/devices
}

# session_settings DIR FOLDER: calvyx starts with FOLDER as its transfer folder, the
# capture window beside the main window (a bare X display has no window manager to
# place it).
session_settings() {
  printf '[General]\ndir=%s\n\n[Connectivity]\nLeft=0\nTop=0\n\n[ScreenCapture]\nLeft=560\nTop=0\n' "$2" \
    > "$1/config/Quentar-Varisko/Calvyx.conf"
}

# session_display DIR: when DISPLAY is empty, starts Xvfb and exports its DISPLAY.
# Sets SESSION_XVFB_PID (empty when a display was there already).
session_display() {
  SESSION_XVFB_PID=
  [ -n "${DISPLAY:-}" ] && return 0
  command -v Xvfb >/dev/null || { echo "Xvfb is not installed" >&2; return 1; }
  local fdfile=$1/display
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" 2>"$1/xvfb.log" &
  SESSION_XVFB_PID=$!
  local i
  for i in $(seq 1 200); do # up to 10 s: a loaded machine starts it slowly
    [ -s "$fdfile" ] && break
    sleep 0.05
  done
  [ -s "$fdfile" ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=:$(head -n1 "$fdfile")
  export QT_QPA_PLATFORM=xcb
}

session_stop_display() {
  [ -n "${SESSION_XVFB_PID:-}" ] && kill "$SESSION_XVFB_PID" 2>/dev/null && wait "$SESSION_XVFB_PID" 2>/dev/null
  return 0
}

# wait_for SECONDS COMMAND...: polls COMMAND every 0.1 s until it succeeds.
wait_for() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  until "$@"; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.1
  done
}

# stop_calvyx PID SECONDS: closes calvyx as its Exit command does and returns its exit code.
stop_calvyx() {
  kill -TERM "$1" 2>/dev/null || true
  local i
  for i in $(seq 1 $(($2 * 10))); do
    kill -0 "$1" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$1" 2>/dev/null; then
    kill -KILL "$1" 2>/dev/null
    wait "$1" 2>/dev/null
    return 124
  fi
  wait "$1"
}
