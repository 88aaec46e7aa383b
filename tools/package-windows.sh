#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows package from a Windows build: the programs, the DLLs they load (Qt's and
# the MinGW runtime's, found by walking their imports), Qt's plugins for the window, the help books, the licence;
# as calvyx-VERSION-windows-x64.zip and the installer calvyx-setup-VERSION.exe, both in
# WINDOWS_BUILD_DIR/package.
#   tools/package-windows.sh [WINDOWS_BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
winbuild=$(realpath "${1:-build-win}")
qt=${CALVYX_QT_MINGW:-$winbuild/qt}
version=$(sed -n 's/^project(calvyx VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "package-windows: no version in CMakeLists.txt"; exit 1; }
programs=("$winbuild/app/calvyx.exe" "$winbuild/tools/calvyx-cli.exe")
for p in "${programs[@]}"; do [ -f "$p" ] || { echo "package-windows: $p is not built"; exit 1; }; done
# The Qt plugins the desktop program loads from beside itself: the Windows platform, its
# style and the image formats of the icons and screen captures.
plugins=(platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qico.dll imageformats/qgif.dll)

out="$winbuild/package"
stage="$out/calvyx-$version"
rm -rf "$out"
mkdir -p "$stage/help"
cp "${programs[@]}" "$stage/"
for plugin in "${plugins[@]}"; do
  mkdir -p "$stage/$(dirname "$plugin")"
  cp "$qt/plugins/$plugin" "$stage/$plugin"
done

# Every DLL a program or a copied DLL imports, from Qt and the MinGW runtime; the
# system's own DLLs are not found in these folders and stay out.
gccdir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
search=("$qt/bin" "$gccdir" /usr/x86_64-w64-mingw32/lib)
queue=("${programs[@]}")
for plugin in "${plugins[@]}"; do queue+=("$stage/$plugin"); done
while ((${#queue[@]})); do
  file=${queue[0]}
  queue=("${queue[@]:1}")
  while read -r dll; do
    [ -e "$stage/$dll" ] && continue
    for dir in "${search[@]}"; do
      if [ -f "$dir/$dll" ]; then
        cp "$dir/$dll" "$stage/"
        queue+=("$stage/$dll")
        break
      fi
    done
  done < <(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
done

cp -r mainwindow/help/. "$stage/help/"
cp LICENSE "$stage/LICENSE.txt"
cp README.md "$stage/README.md"
# The icon: the SVG drawn at 256 pixels in a PNG-in-ICO file.
rsvg-convert -w 256 -h 256 data/icons/org.calvyx.Calvyx.svg -o "$out/icon.png"
python3 - "$out/icon.png" "$stage/calvyx.ico" <<'PY'
import struct, sys
png = open(sys.argv[1], "rb").read()
# ICONDIR, one ICONDIRENTRY (0 = 256 pixels), the PNG right after them.
ico = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 0, 0, 0, 0, 1, 32, len(png), 6 + 16) + png
open(sys.argv[2], "wb").write(ico)
PY

# The uninstaller removes exactly the files installed, folder by folder.
(
  cd "$stage"
  find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|^|  Delete "$INSTDIR\\|; s|$|"|'
  find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|^|  RMDir "$INSTDIR\\|; s|$|"|'
) >"$out/uninstall-files.nsh"

(cd "$out" && zip -qr "calvyx-$version-windows-x64.zip" "calvyx-$version")
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$out/calvyx-setup-$version.exe" tools/windows/calvyx.nsi
ls -l "$out"/*.zip "$out"/*.exe
