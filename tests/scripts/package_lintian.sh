#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Debian's checks on the packages: cpack builds calvyx and calvyx-sim from the build
# folder, and lintian must report no error and no warning on either (an override, in
# the package's lintian overrides file, only with its reason in a comment above it).
# The desktop package must not need the umockdev library; the virtual calculator's does.
set -euo pipefail
build=$(cd "${1:?usage: package_lintian.sh BUILD_DIR}" && pwd)
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$top/tests/scripts/lib/common.bash"
require_tools cpack lintian dpkg-deb timeout
fail() { echo "FAIL: $*" >&2; exit 1; }

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
[ -n "$version" ] || fail "no version in $build/CPackConfig.cmake"
timeout 120 cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack -G DEB failed"; }
debs=()
for package in calvyx calvyx-sim; do
  deb=("$work/deb/${package}_${version}_"*.deb)
  [ -f "${deb[0]}" ] || { ls "$work/deb" >&2; fail "cpack made no ${package}_${version}_*.deb"; }
  debs+=("${deb[0]}")
done

depends() { dpkg-deb -f "$1" Depends; }
[[ $(depends "${debs[0]}") != *umockdev* ]] || fail "calvyx depends on umockdev: $(depends "${debs[0]}")"
[[ $(depends "${debs[1]}") == *libumockdev* ]] || fail "calvyx-sim does not depend on the umockdev library: $(depends "${debs[1]}")"

# Every override carries its reason: a comment line right above it.
for deb in "${debs[@]}"; do
  package=$(dpkg-deb -f "$deb" Package)
  dpkg-deb -x "$deb" "$work/root-$package"
  overrides=$work/root-$package/usr/share/lintian/overrides/$package
  [ -f "$overrides" ] || continue
  awk -v f="$overrides" '/^[^#[:space:]]/ && prev !~ /^#/ { print f ": an override without a reason above it: " $0; bad = 1 }
    { prev = $0 } END { exit bad }' "$overrides" >&2 || fail "lintian overrides without reasons"
done

# Errors and warnings fail; informational tags and pedantic ones are shown only.
set +e
timeout 120 lintian --display-info "${debs[@]}" >"$work/lintian.txt" 2>"$work/lintian.err"
rc=$?
set -e
cat "$work/lintian.txt"
((rc < 124)) || fail "lintian did not end within 120 s"
((rc <= 1)) || { cat "$work/lintian.err" >&2; fail "lintian could not run (exit $rc)"; }
if grep -qE '^[EW]: ' "$work/lintian.txt"; then
  fail "lintian reports errors or warnings: $(grep -cE '^[EW]: ' "$work/lintian.txt") line(s) above"
fi
echo "PASS: lintian reports no error or warning on $(basename "${debs[0]}") and $(basename "${debs[1]}")"
