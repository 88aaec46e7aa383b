#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The manual pages of calvyx-cli and calvyx-sim, as man shows them, say what the programs
# say: every option a --help describes (the program's and each command's) is in the page,
# every option the page names is one the program knows, the exit codes of calvyx-cli's
# --help each have their entry, both port names by USB id and by socket are explained,
# and no scdoc markup is left showing ("COM_n_", "*word*").
set -euo pipefail
build=${1:?build directory}
source "$(dirname "$0")/lib/common.bash"
require_tools man col gzip

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The page as a reader sees it, in plain ASCII; a line that ends at a hyphen (groff
# breaks "--usb-device" there) is joined with the next.
render() {
  LC_ALL=C MANWIDTH=200 man --nh --nj -l "$build/data/man/$1.1.gz" 2>/dev/null | col -bx | sed -e :a -e '/[a-z]-$/{N; s/-\n */-/; ta}'
}
# Every --option a text names.
named_options() { grep -o -- '--[a-z][a-z0-9-]*' | sort -u; }
# The options a --help describes: those that begin one of its indented lines.
described_options() { grep -E '^ +--[a-z]' | grep -o -- '^ *--[a-z][a-z0-9-]*' | tr -d ' ' | sort -u; }

for program in calvyx-cli calvyx-sim; do
  exe="$build/tools/$program"
  [ -x "$exe" ] || { fail "no $exe"; continue; }
  [ -f "$build/data/man/$program.1.gz" ] || { fail "no manual page for $program in $build/data/man"; continue; }
  render "$program" >"$work/$program.page"
  [ -s "$work/$program.page" ] || { fail "man shows nothing of $program.1"; continue; }

  # Every --help text of the program: its own and each command's.
  "$exe" --help >"$work/$program.help"
  for command in $(awk '/^commands:/ {on = 1; next} /^$/ {on = 0} on {print $1}' "$work/$program.help"); do
    "$exe" "$command" --help >"$work/$program.$command.help" || fail "$program $command --help failed"
  done
  cat "$work/$program".*help >"$work/$program.allhelp"

  described_options <"$work/$program.allhelp" >"$work/$program.described"
  [ -s "$work/$program.described" ] || fail "$program: no option described in any --help"
  named_options <"$work/$program.page" >"$work/$program.inpage"
  # The options of another program the page runs (in an example, udevadm) are not this
  # one's: a line is read up to such a program's name.
  other=calvyx-sim
  [ "$program" = calvyx-sim ] && other=calvyx-cli
  sed -E "s/$other .*//; s/udevadm .*//" "$work/$program.page" | named_options >"$work/$program.own"
  named_options <"$work/$program.allhelp" >"$work/$program.inhelp"
  for option in $(comm -23 "$work/$program.described" "$work/$program.inpage"); do
    fail "$program: $option is described by --help but not in the manual page"
  done
  for option in $(comm -23 "$work/$program.own" "$work/$program.inhelp"); do
    # --help and --version are the program's own, answered before any command.
    case $option in --help | --version) continue ;; esac
    fail "$program: the manual page names $option, which no --help of the program knows"
  done

  # scdoc markup that did not take: underscores or stars around a word.
  if grep -nE '(^|[^A-Za-z0-9_$])_[A-Za-z][A-Za-z0-9.:-]*_([^A-Za-z0-9_]|$)|[A-Za-z0-9]_[a-z][a-z0-9]*_([^A-Za-z0-9_]|$)|(^|[ (])\*[A-Za-z][^ *]*\*([ ,.)]|$)' \
    "$work/$program.page" >"$work/$program.markup"; then
    fail "$program: markup shows in the page: $(head -n3 "$work/$program.markup")"
  fi
done

# calvyx-cli: each exit code --help gives has its entry in EXIT STATUS, and the page
# explains the port names the commands take.
codes=$(sed -n 's/^exit codes: //p' "$work/calvyx-cli.help" | grep -oE '(^|, )[0-9]+' | tr -d ', ')
[ -n "$codes" ] || fail "calvyx-cli --help lists no exit codes"
status=$(sed -n '/^EXIT STATUS/,/^[A-Z]/p' "$work/calvyx-cli.page")
for code in $codes; do
  grep -qE "^ +$code\$" <<<"$status" || fail "calvyx-cli(1) EXIT STATUS has no entry for $code"
done
for port in "usb:VVVV:PPPP" "usb:BUS-PORT" "usb:1-2.3" "COMn" "QVxT0+"; do
  grep -qF "$port" "$work/calvyx-cli.page" || fail "calvyx-cli(1) does not explain the port name $port"
  grep -qF "$port" "$work/calvyx-cli.allhelp" || fail "no calvyx-cli --help explains the port name $port"
done

[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "the manual pages and the --help texts agree"
