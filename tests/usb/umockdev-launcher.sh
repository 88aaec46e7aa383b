#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CTest's launcher of tests_usb: runs the program under umockdev-wrapper with a TMPDIR
# of its own, where umockdev keeps its test beds, and removes that folder afterwards.
# A run killed outright (a CTest time-out) cannot clean up after itself: its folder
# carries its process id and the next run removes it once that process is gone.
set -u
base=${TMPDIR:-/tmp}
for stale in "$base"/calvyx-usb-test.*; do
  [ -d "$stale" ] || continue
  pid=${stale##*.}
  pid=${pid%%-*}
  [[ $pid =~ ^[0-9]+$ ]] && ! kill -0 "$pid" 2>/dev/null && rm -rf "$stale"
done
own=$(mktemp -d "$base/calvyx-usb-test.$$-XXXXXX") || exit 1
trap 'rm -rf "$own"' EXIT
TMPDIR=$own umockdev-wrapper "$@"
