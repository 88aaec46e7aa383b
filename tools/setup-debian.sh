#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what Calvyx needs to build, test and run on Debian 12. Quick when everything
# is already there: it asks apt only for the packages that are missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkgconf ccache
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n fonts-wqy-microhei
  libgtest-dev libgmock-dev libbenchmark-dev
  libusb-1.0-0-dev umockdev libumockdev-dev
  ckermit lrzsz socat
  clang libclang-rt-dev clang-tidy clang-format
  xvfb xauth
  librsvg2-bin scdoc
  desktop-file-utils appstream dpkg-dev file groff-base time lintian
)

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
