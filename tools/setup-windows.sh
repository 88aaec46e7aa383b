#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the Windows build needs on Debian 12 (the MinGW-w64 cross compilers,
# Wine, NSIS, Qt's host tools, Xvfb) and unpacks the prebuilt Qt for MinGW into
# BUILD_DIR/qt (default build-win/qt). Quick when everything is already there.
#   tools/setup-windows.sh [BUILD_DIR] [QT_ARCHIVE]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-win}
archive=${2:-${CALVYX_QT_MINGW_ARCHIVE:-../shared/windows/qt-6.4.2-mingw-w64.tar.xz}}

# The desktop program also needs the host's Qt translation tools and Qt's own
# translations, the icon and manual-page renderers (data/), and Xvfb for its check.
packages=(g++-mingw-w64-x86-64 mingw-w64-tools wine64 nsis qt6-base-dev-tools
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n librsvg2-bin scdoc xvfb
  cmake ninja-build ccache googletest zip)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

mkdir -p "$build_dir"
if [ ! -f "$build_dir/qt/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
  if [ ! -f "$archive" ]; then
    echo "setup-windows: no Qt for MinGW at $archive (pass its path as the second argument)" >&2
    exit 1
  fi
  rm -rf "$build_dir/qt" "$build_dir/qt.unpack"
  mkdir -p "$build_dir/qt.unpack"
  tar xJf "$archive" -C "$build_dir/qt.unpack"
  # The archive holds one folder (qt-VERSION-mingw-w64); it becomes BUILD_DIR/qt.
  mv "$build_dir"/qt.unpack/*/ "$build_dir/qt"
  rmdir "$build_dir/qt.unpack"
fi
echo "setup-windows: Qt for MinGW in $build_dir/qt"
