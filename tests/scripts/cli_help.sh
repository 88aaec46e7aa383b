#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every calvyx-cli command answers --help (and -h, wherever it stands) on stdout with
# exit 0: its usage line first, then every option of that usage line described on a line
# of its own. Nothing is opened: the port named beside --help is never touched.
set -euo pipefail
source "$(dirname "$0")/lib/common.bash"
use_programs "${1:?build directory}" calvyx-cli

commands=$(timeout 10 "$cli" --help | awk '/^commands:/ {on = 1; next} /^$/ {on = 0} on {print $1}')
[ -n "$commands" ] || fail "calvyx-cli --help lists no commands"
timeout 10 "$cli" --help | grep -q "COMMAND --help" || fail "calvyx-cli --help does not point to the commands' help"

for command in $commands; do
  for ask in "--help" "-h" "--port /nonexistent/port --help"; do
    rc=0
    # shellcheck disable=SC2086
    timeout 10 "$cli" "$command" $ask >"$work/out" 2>"$work/err" || rc=$?
    [ "$rc" -eq 0 ] || { fail "calvyx-cli $command $ask exited $rc"; cat "$work/err"; continue; }
    [ ! -s "$work/err" ] || fail "calvyx-cli $command $ask wrote to stderr: $(cat "$work/err")"
    usage=$(head -n1 "$work/out")
    [[ $usage == "usage: calvyx-cli $command"* ]] || fail "calvyx-cli $command $ask begins with '$usage'"
  done
  # Each --option of the usage line has a line of the description that begins with it.
  for option in $(head -n1 "$work/out" | grep -o -- '--[a-z-]*' | sort -u); do
    grep -q -E "^  $option( |$)" "$work/out" || fail "calvyx-cli $command --help does not describe $option"
  done
done

end_checks "every command's --help describes its options"
