#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows installer under Wine: a silent install puts the programs, their DLLs and
# the help books in Program Files with the Start-menu entries; calvyx and calvyx-cli
# run from there with nothing else on the path; the silent uninstall takes all of it away again.
# Run by tools/run-windows-lane.sh after tools/package-windows.sh.
#   package_install.sh WINDOWS_BUILD_DIR
set -euo pipefail
winbuild=$(realpath "${1:?usage: package_install.sh WINDOWS_BUILD_DIR}")
: "${WINEPREFIX:?run with the Wine prefix set (tools/run-windows-lane.sh)}"
fail() { echo "FAIL: $*"; exit 1; }
setup=$(ls "$winbuild"/package/calvyx-setup-*.exe 2>/dev/null | head -n1)
[ -n "$setup" ] || fail "no installer in $winbuild/package (tools/package-windows.sh)"
dir="$WINEPREFIX/drive_c/Program Files/Calvyx"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Calvyx"
# Only the installed files: nothing of the build on Wine's path.
unset WINEPATH

timeout 120 wine64 "$setup" /S || fail "the installer failed"
for f in calvyx.exe calvyx-cli.exe Qt6Core.dll Qt6Widgets.dll platforms/qwindows.dll libstdc++-6.dll help/index.html help/CalvyxGerman/index.html uninstall.exe; do
  [ -f "$dir/$f" ] || fail "not installed: $f"
done
for l in "Calvyx.lnk" "Calvyx command line.lnk" "Calvyx help.lnk" "Uninstall Calvyx.lnk"; do
  [ -f "$menu/$l" ] || fail "no Start-menu entry $l"
done
out=$(timeout 60 wine64 'C:\Program Files\Calvyx\calvyx-cli.exe' --help 2>&1) || fail "the installed calvyx-cli does not start: $out"
grep -q "^usage: calvyx-cli COMMAND" <<<"$out" || fail "the installed calvyx-cli printed no usage: $out"
out=$(timeout 60 wine64 'C:\Program Files\Calvyx\calvyx.exe' --version 2>&1) || fail "the installed calvyx does not start: $out"
grep -q "^calvyx [0-9]" <<<"$out" || fail "the installed calvyx printed no version: $out"

# The uninstaller copies itself away and removes the folder from there: waited for,
# at most a minute.
timeout 120 wine64 'C:\Program Files\Calvyx\uninstall.exe' /S || fail "the uninstaller failed"
for _ in $(seq 120); do
  [ ! -e "$dir" ] && [ ! -e "$menu" ] && break
  sleep 0.5
done
[ ! -e "$dir" ] || fail "left after the uninstall: $(cd "$dir" && find . | head)"
[ ! -e "$menu" ] || fail "the Start-menu folder is left after the uninstall"
echo "PASS: the installer installs, calvyx and calvyx-cli run from Program Files, the uninstaller removes it all"
