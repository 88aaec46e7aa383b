#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The bash completion of calvyx-cli and calvyx-sim (data/completions/calvyx-tool.bash),
# as bash runs it on Tab: the commands of each program after its name, a command's own
# options after "-", folders after --root and --dir, the connections after --port. The
# words come from the built programs' --help, so a new command or option is completed
# without touching the script.
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
top=$(cd "$(dirname "$0")/../.." && pwd)
source "$top/tests/scripts/lib/common.bash"
use_programs "$build" calvyx-cli calvyx-sim
export PATH="$build/tools:$PATH"
source "$top/data/completions/calvyx-tool.bash"

# The completions of the last word, one a line, sorted.
completions() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    _calvyx_tool
    ((${#COMPREPLY[@]} == 0)) || printf '%s\n' "${COMPREPLY[@]}" | sort
}
expect() {
    local want=$1; shift
    local got
    got=$(completions "$@" | tr '\n' ' ')
    [ "$got" = "$want" ] || fail "completing '$*': got '$got', expected '$want'"
}

expect "doctor " calvyx-cli do
expect "--help --version capture devices doctor receive rom serve " calvyx-cli ""
expect "--help --version " calvyx-cli --
expect "kermit-fetch kermit-packets kermit-push " calvyx-sim kermit
expect "--root " calvyx-cli doctor --r
expect "--add --help --root " calvyx-cli devices --
expect "--throttle " calvyx-sim pty --thr
completions calvyx-cli serve --port "" | grep -qx "QVxT0+" || fail "--port does not offer QVxT0+"
mkdir -p "$work/folder-a" "$work/folder-b"
: >"$work/file-c"
expect "$work/folder-a $work/folder-b " calvyx-cli doctor --root "$work/folder"
expect "$work/file-c " calvyx-cli capture --out "$work/file"

end_checks "bash completion: all checks passed"
