#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Calvyx as installed. `cmake --install` into a temporary prefix, which is then moved
# elsewhere; the programs run from there with a clean environment and, where a mount
# namespace can be had (root, as in CI), with empty folders laid over the build tree and
# the sources, so nothing of either can be reached. Checked: the versions, calvyx --help
# without a display, a calvyx-sim byte script, calvyx offscreen opening its help book
# with its icon built in, the desktop entry and the AppStream metainfo (validators), the
# icon sizes, the manual pages, the udev rules. Then the Debian packages built with
# CPack (calvyx, and calvyx-sim with the virtual calculator): their file lists, control
# fields and maintainer scripts, and the packages unpacked with dpkg-deb -x and their
# programs run from there.
set -euo pipefail
build=$(cd "${1:?usage: install_package.sh BUILD_DIR}" && pwd)
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$top/tests/scripts/lib/common.bash"
require_tools cmake cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli file readelf ldd groff gzip timeout
fail() { echo "FAIL: $*" >&2; exit 1; }
case "$work/" in "$build"/* | "$top"/*) fail "the work folder $work lies in the tree it must not reach" ;; esac

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "no project version in $build/CPackConfig.cmake ('$version')"
release=${version%.*}
app_id=org.calvyx.Calvyx
sizes=(16 32 48 64 128 256)

# What the install holds, relative to the prefix, and nothing else.
expected=(
  bin/calvyx bin/calvyx-cli bin/calvyx-sim
  share/applications/$app_id.desktop
  share/metainfo/$app_id.metainfo.xml
  share/icons/hicolor/scalable/apps/$app_id.svg
  lib/udev/rules.d/70-calvyx.rules
  share/man/man1/calvyx.1.gz share/man/man1/calvyx-cli.1.gz share/man/man1/calvyx-sim.1.gz
  share/bash-completion/completions/calvyx-cli share/bash-completion/completions/calvyx-sim
  share/doc/calvyx/copyright share/doc/calvyx/changelog.gz
  share/doc/calvyx-sim/copyright share/doc/calvyx-sim/changelog.gz
)
# What the virtual calculator's package holds; the desktop package holds the rest.
sim_files=(bin/calvyx-sim share/man/man1/calvyx-sim.1.gz share/bash-completion/completions/calvyx-sim
  share/doc/calvyx-sim/copyright share/doc/calvyx-sim/changelog.gz)
for size in "${sizes[@]}"; do expected+=("share/icons/hicolor/${size}x${size}/apps/$app_id.png"); done
printf '%s\n' "${expected[@]}" | sort >"$work/expected.txt"

# --- Install, then move the prefix: the programs may not depend on where they were put.
env -u DESTDIR timeout 120 cmake --install "$build" --prefix "$work/staged" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; fail "cmake --install failed"; }
mv "$work/staged" "$work/moved"
prefix=$work/moved
(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$work/installed.txt"
diff -u "$work/expected.txt" "$work/installed.txt" >&2 || fail "the install holds other files than the three programs and their data"

# Nothing in the programs points into the build tree or the sources.
for program in calvyx calvyx-cli calvyx-sim; do
  exe=$prefix/bin/$program
  if readelf -d "$exe" | grep -E 'R(UN)?PATH' | grep -qF -e "$build" -e "$top"; then
    fail "$program has a library path into the build: $(readelf -d "$exe" | grep -E 'R(UN)?PATH')"
  fi
  ldd "$exe" >"$work/ldd.txt" || fail "ldd $program failed"
  ! grep -q "not found" "$work/ldd.txt" || fail "$program misses libraries: $(grep 'not found' "$work/ldd.txt")"
  ! grep -qF -e "$build" -e "$top" "$work/ldd.txt" || fail "$program loads a library from the build: $(cat "$work/ldd.txt")"
done

# --- The installed programs, with the build tree and the sources out of reach.
home=$work/home
mkdir -p "$home/run" "$home/config"
chmod 700 "$home/run"
hide=()
hide_script='mount -t tmpfs -o size=1m,mode=0555 calvyx-hidden "$1" && mount -t tmpfs -o size=1m,mode=0555 calvyx-hidden "$2" &&
  cd "$3" && shift 3 && exec "$@"'
if unshare --mount --propagation private true 2>/dev/null; then
  hide=(unshare --mount --propagation private sh -c "$hide_script" sh "$build" "$top" "$work")
  how="in a mount namespace with the build tree and the sources hidden"
elif unshare --user --map-root-user --mount true 2>/dev/null; then
  hide=(unshare --user --map-root-user --mount sh -c "$hide_script" sh "$build" "$top" "$work")
  how="in a user and mount namespace with the build tree and the sources hidden"
else
  how="with a clean environment (no mount namespace here; the library path checks above stand for the hidden build)"
fi
hidden() {
  "${hide[@]}" env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/run" XDG_CONFIG_HOME="$home/config" \
    CALVYX_DEVICE_ROOT="$home/dev" "$@"
}
echo "running the installed programs $how"
if ((${#hide[@]})); then
  hidden sh -c "test ! -e '$build/CMakeCache.txt' && test ! -e '$top/CMakeLists.txt'" ||
    fail "the build tree is still visible to the installed programs"
fi

for program in calvyx calvyx-cli calvyx-sim; do
  got=$(hidden timeout 10 "$prefix/bin/$program" --version) || fail "$program --version exited $?"
  [[ $got == "$program $version" ]] || fail "$program --version printed '$got', not '$program $version'"
done

# calvyx --help needs no display and opens no window: no platform is set here.
got=$(hidden timeout 10 "$prefix/bin/calvyx" --help 2>"$work/help.err") || fail "calvyx --help exited $?: $(cat "$work/help.err")"
[[ $(head -n1 <<<"$got") == "usage: calvyx [CONNECTION]" ]] || fail "calvyx --help printed: $got"
grep -q -- "--version" <<<"$got" || fail "calvyx --help does not mention --version"
[ ! -s "$work/help.err" ] || fail "calvyx --help wrote to stderr: $(cat "$work/help.err")"

# calvyx-sim alone lists its roles on stderr and exits 2; a role plays its byte script.
set +e
hidden timeout 10 "$prefix/bin/calvyx-sim" >/dev/null 2>"$work/roles.txt"
rc=$?
set -e
[ "$rc" -eq 2 ] || fail "calvyx-sim alone exited $rc"
grep -q "^  pty  " "$work/roles.txt" || fail "calvyx-sim alone did not list its roles: $(cat "$work/roles.txt")"
coproc SIM { hidden timeout 20 "$prefix/bin/calvyx-sim" pty --send 41 --expect-text OK --send-text hi --sleep 500; }
pids+=("$SIM_PID")
read -r -t 10 path <&"${SIM[0]}" || fail "the installed calvyx-sim printed no pseudo-terminal"
[[ -c $path ]] || fail "calvyx-sim pty printed '$path', not a terminal"
exec 5<>"$path"
stty -F "$path" raw -echo
got=$(timeout 5 head -c 1 <&5 | od -An -tx1 | tr -d ' \n')
[[ $got == 41 ]] || fail "calvyx-sim pty sent '$got', not 41"
printf OK >&5
got=$(timeout 5 head -c 2 <&5) || true
[[ $got == hi ]] || fail "calvyx-sim pty answered '$got' to OK"
wait "$SIM_PID" || fail "calvyx-sim pty exited $?"
exec 5>&-

# calvyx opens its help book (built in: nothing of the tree is there) with its icon.
got=$(hidden QT_QPA_PLATFORM=offscreen CALVYX_EXIT_AFTER_HELP=1 timeout 60 "$prefix/bin/calvyx" 2>"$work/calvyx.err") ||
  fail "calvyx with CALVYX_EXIT_AFTER_HELP exited $?: $got $(cat "$work/calvyx.err")"
echo "$got"
got=${got##*$'\n'} # the help line comes after the line of the menus
[[ $got =~ ^calvyx:\ help\ qrc:/help/Calvyx/index\.html\ \"Calvyx\ Help\"\ ([0-9]+)\ characters,\ icon\ (.*)$ ]] ||
  fail "calvyx did not open its built-in help book: '$got'"
((BASH_REMATCH[1] > 100)) || fail "the help contents page has only ${BASH_REMATCH[1]} characters"
[[ ${BASH_REMATCH[2]} == "$(IFS=,; echo "${sizes[*]}")" ]] || fail "the windows' icon has the sizes '${BASH_REMATCH[2]}'"
# The installed program carries its translations: a German user gets German menus and
# the German book.
got=$(hidden QT_QPA_PLATFORM=offscreen LANGUAGE= LC_ALL=de_DE.UTF-8 CALVYX_EXIT_AFTER_HELP=1 timeout 60 "$prefix/bin/calvyx" 2>"$work/calvyx.err") ||
  fail "calvyx in German exited $?: $got $(cat "$work/calvyx.err")"
[[ $got == *"calvyx: menus Datei|"*"|Hilfe"*"calvyx: help qrc:/help/CalvyxGerman/index.html \"Calvyx-Hilfe\""* ]] ||
  fail "the installed calvyx is not German for a German user: '$got'"

# --- The desktop entry names the installed program and icon, and passes the validator.
desktop=$prefix/share/applications/$app_id.desktop
desktop-file-validate "$desktop" >"$work/desktop.txt" 2>&1 || { cat "$work/desktop.txt" >&2; fail "desktop-file-validate failed"; }
[ ! -s "$work/desktop.txt" ] || { cat "$work/desktop.txt" >&2; fail "desktop-file-validate had remarks"; }
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[ -x "$prefix/bin/${exec_line%% *}" ] || fail "Exec=$exec_line names no installed program"
[[ $(sed -n 's/^Icon=//p' "$desktop") == "$app_id" ]] || fail "Icon= is not $app_id"
echo "desktop-file-validate: no remarks"

# --- The AppStream metainfo: valid, its newest release is this version, its
# screenshots are pictures of this tree with their true sizes.
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$work/appstream.txt" 2>&1 ||
  { cat "$work/appstream.txt" >&2; fail "appstreamcli validate failed"; }
cat "$work/appstream.txt"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" || fail "the metainfo does not launch $app_id.desktop"
newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n1 | cut -d'"' -f2)
[[ $newest == "$release" ]] || fail "the newest release in the metainfo is '$newest', the project version is $release"
shots=$(grep -o '<image type="source" width="[0-9]*" height="[0-9]*">[^<]*</image>' "$metainfo") || fail "no screenshot image"
while read -r shot; do
  [[ $shot =~ width=\"([0-9]+)\"\ height=\"([0-9]+)\"\>https://[^/]+/(docs/screenshots/[^<]+)\< ]] ||
    fail "screenshot not a docs/screenshots picture: $shot"
  picture=$top/${BASH_REMATCH[3]}
  [ -f "$picture" ] || fail "screenshot ${BASH_REMATCH[3]} is not in the tree"
  file "$picture" | grep -q "PNG image data, ${BASH_REMATCH[1]} x ${BASH_REMATCH[2]}," ||
    fail "screenshot ${BASH_REMATCH[3]} is not ${BASH_REMATCH[1]} x ${BASH_REMATCH[2]}: $(file "$picture")"
done <<<"$shots"

# --- The icons: the SVG, and each PNG at its size.
file "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg" | grep -q "SVG" || fail "the scalable icon is not an SVG"
for size in "${sizes[@]}"; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png
  file "$png" | grep -q "PNG image data, $size x $size," || fail "the ${size}x${size} icon is $(file -b "$png")"
done

# --- The manual pages: compressed, clean for groff, with the version and both options.
for program in calvyx calvyx-cli calvyx-sim; do
  page=$prefix/share/man/man1/$program.1.gz
  gzip -t "$page" || fail "$program.1.gz is not gzip"
  gzip -dc "$page" | groff -man -Tascii -ww -z 2>"$work/groff.txt"
  [ ! -s "$work/groff.txt" ] || fail "groff warns about $program.1: $(cat "$work/groff.txt")"
  gzip -dc "$page" | groff -man -Tascii -P-cbou 2>/dev/null >"$work/$program.txt"
  grep -q "^ *$program - " "$work/$program.txt" || fail "$program.1 has no NAME line"
  for text in --help --version "Calvyx $version"; do
    grep -qF -- "$text" "$work/$program.txt" || fail "$program.1 does not mention '$text'"
  done
done

# --- The udev rules: applied before 73-seat-late.rules (which acts on the uaccess tag),
# every active rule tags its devices uaccess, the USB template is left commented.
for rules in "$prefix"/lib/udev/rules.d/*.rules; do
  name=$(basename "$rules")
  [[ $name < 73-seat-late.rules ]] || fail "$name sorts after 73-seat-late.rules"
  active=0
  while IFS= read -r line; do
    [[ -z ${line// /} || $line == \#* ]] && continue
    active=$((active + 1))
    [[ $line == *'TAG+="uaccess"'* ]] || fail "$name: a rule without uaccess: $line"
    IFS=',' read -ra pairs <<<"$line"
    for pair in "${pairs[@]}"; do
      pair=${pair# }
      [[ $pair =~ ^[A-Z]+(\{[A-Za-z_]+\})?(==|!=|=|\+=|-=|:=)\"[^\"]*\"$ ]] || fail "$name: not a key, operator and value: '$pair'"
    done
  done <"$rules"
  ((active > 0)) || fail "$name has no active rule"
done
grep -q '^SUBSYSTEM=="tty", KERNEL=="ttyUSB\[0-9\]\*|ttyACM\[0-9\]\*", TAG+="uaccess"$' "$prefix/lib/udev/rules.d/70-calvyx.rules" ||
  fail "no rule for the USB-serial adapters"
grep -q '^#SUBSYSTEM=="usb", ENV{DEVTYPE}=="usb_device", ATTR{idVendor}=="vvvv", ATTR{idProduct}=="pppp", TAG+="uaccess"$' \
  "$prefix/lib/udev/rules.d/70-calvyx.rules" || fail "no commented template for the calculator's USB ids"

# --- The Debian packages.
timeout 120 cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack -G DEB failed"; }
debs=("$work"/deb/calvyx_"$version"_*.deb)
[ -f "${debs[0]}" ] || { cat "$work/cpack.log" >&2; fail "cpack made no calvyx_${version}_*.deb"; }
deb=${debs[0]}
sim_debs=("$work"/deb/calvyx-sim_"$version"_*.deb)
[ -f "${sim_debs[0]}" ] || { cat "$work/cpack.log" >&2; fail "cpack made no calvyx-sim_${version}_*.deb"; }
sim_deb=${sim_debs[0]}
echo "built $(basename "$deb") and $(basename "$sim_deb")"
printf '%s\n' "${sim_files[@]}" | sort >"$work/sim-expected.txt"
comm -23 "$work/expected.txt" "$work/sim-expected.txt" >"$work/desktop-expected.txt"
packaged() { dpkg-deb -c "$1" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||' | sort; }
packaged "$deb" >"$work/packaged.txt"
diff -u "$work/desktop-expected.txt" "$work/packaged.txt" >&2 || fail "the calvyx package holds other files than calvyx, calvyx-cli and their data"
packaged "$sim_deb" >"$work/sim-packaged.txt"
diff -u "$work/sim-expected.txt" "$work/sim-packaged.txt" >&2 || fail "the calvyx-sim package holds other files than calvyx-sim and its data"
[[ $(dpkg-deb -f "$deb" Depends) != *umockdev* ]] || fail "calvyx depends on umockdev: $(dpkg-deb -f "$deb" Depends)"
[[ $(dpkg-deb -f "$sim_deb" Package) == calvyx-sim && $(dpkg-deb -f "$sim_deb" Version) == "$version" ]] ||
  fail "package $(dpkg-deb -f "$sim_deb" Package) $(dpkg-deb -f "$sim_deb" Version)"
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Suggests) == *fonts-wqy-microhei* ]] || fail "Suggests lacks a CJK font for the Chinese windows: $(field Suggests)"
[[ $(field Package) == calvyx && $(field Version) == "$version" ]] || fail "package $(field Package) $(field Version)"
[[ $(field Section) == electronics || $(field Section) == utils ]] || fail "section $(field Section)"
[[ $(field Maintainer) == *@* ]] || fail "maintainer '$(field Maintainer)'"
[[ $(field Description) == *calvyx-cli* ]] || fail "description: $(field Description)"
for lib in libqt6core6 libqt6widgets6 libqt6serialport6 libc6; do
  [[ $(field Depends) == *"$lib "* ]] || fail "Depends lacks $lib (dpkg-shlibdeps): $(field Depends)"
done

# The maintainer scripts reload the udev rules and never fail, with or without udevadm.
dpkg-deb -e "$deb" "$work/control"
mkdir -p "$work/stub" "$work/nobin"
cat >"$work/stub/udevadm" <<EOF
#!/bin/sh
echo "\$*" >>"$work/udevadm.log"
exit 1
EOF
chmod +x "$work/stub/udevadm"
for script in postinst postrm; do
  [ -x "$work/control/$script" ] || fail "the package has no executable $script"
done
PATH=$work/stub:/usr/bin:/bin "$work/control/postinst" configure || fail "postinst failed when udevadm fails"
grep -qx "control --reload-rules" "$work/udevadm.log" || fail "postinst did not reload the udev rules"
: >"$work/udevadm.log"
PATH=$work/stub:/usr/bin:/bin "$work/control/postrm" remove || fail "postrm failed when udevadm fails"
grep -qx "control --reload-rules" "$work/udevadm.log" || fail "postrm did not reload the udev rules"
PATH=$work/nobin /bin/sh "$work/control/postinst" configure || fail "postinst failed without udevadm"
PATH=$work/nobin /bin/sh "$work/control/postrm" remove || fail "postrm failed without udevadm"

# Unpacked into a throwaway root, the packaged programs run (stripped, as shipped).
dpkg-deb -x "$deb" "$work/root"
dpkg-deb -x "$sim_deb" "$work/root"
for program in calvyx calvyx-cli calvyx-sim; do
  file "$work/root/usr/bin/$program" | grep -q ", stripped" || fail "the packaged $program is not stripped"
  got=$(hidden timeout 10 "$work/root/usr/bin/$program" --version) || fail "the packaged $program --version exited $?"
  [[ $got == "$program $version" ]] || fail "the packaged $program --version printed '$got'"
  echo "unpacked with dpkg-deb -x: $got"
done
echo "PASS: installed and packaged Calvyx $version checked (programs run $how)"
