# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian packages: `cpack -G DEB` in the build folder (or
# `cpack -G DEB --config BUILD/CPackConfig.cmake -B OUT`). They hold what the install
# rules install, nothing of the tests, benches or fuzz targets, in two packages:
#   calvyx      (component desktop) calvyx, calvyx-cli, the icon, the desktop entry, the
#               metainfo, the udev rules, their manual pages and bash completion;
#   calvyx-sim  (component sim) the virtual calculator, the only program that needs
#               the umockdev library, with its manual page and bash completion.
# Each has its copyright and changelog in /usr/share/doc/<package>.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME calvyx)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quentar-Varisko")
set(CPACK_PACKAGE_CONTACT "Calvyx developers <calvyx@calvyx.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://calvyx.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL desktop sim)
set(CPACK_COMPONENTS_GROUPING IGNORE)
set(CPACK_DEBIAN_DESKTOP_PACKAGE_NAME calvyx)
set(CPACK_DEBIAN_SIM_PACKAGE_NAME calvyx-sim)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# Each package's description: its synopsis line, then the long description.
# CPACK_PACKAGE_DESCRIPTION_SUMMARY stays unset: CPack would put it before both as
# their synopsis, the same for the two packages.
set(CPACK_DEBIAN_DESKTOP_DESCRIPTION "connectivity kit for QV graphing calculators
Calvyx connects a PC to the QV T20, T20+, T20s and T30s graphing calculators
over a serial port (a USB-serial adapter) or the calculator's USB link. While
connected the calculator pushes files into a folder on the PC and fetches
files from it (Kermit); Calvyx also sends files the calculator asks for by
XModem, receives objects sent by wire, captures the calculator's screen as a
picture and loads new ROMs.
.
The package holds the desktop program (calvyx), the same transfers in a
terminal (calvyx-cli, whose doctor command says why a calculator cannot be
opened), and udev rules that give the logged-in user the calculator's
devices. The virtual calculator is in the package calvyx-sim.")
set(CPACK_DEBIAN_SIM_DESCRIPTION "virtual QV graphing calculator for trying Calvyx without hardware
calvyx-sim plays the calculator's side of every Calvyx exchange (Kermit
pushes and fetches, XModem, screen capture, ROM load) on a pseudo-terminal,
as the USB pipe device, or as a USB device on a bus of its own (umockdev),
for tests, demonstrations and anyone without a calculator at hand.")
set(CPACK_DEBIAN_SIM_PACKAGE_SECTION electronics)
# The library packages the programs need, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windows in Chinese need a CJK font; a Chinese desktop has one already. The virtual
# calculator lets a user without hardware try the programs.
set(CPACK_DEBIAN_DESKTOP_PACKAGE_SUGGESTS "fonts-wqy-microhei | fonts-noto-cjk, calvyx-sim")
# Reload the udev rules after install and removal (the desktop package brings them).
set(CPACK_DEBIAN_DESKTOP_PACKAGE_CONTROL_EXTRA
  ${CMAKE_SOURCE_DIR}/data/debian/postinst ${CMAKE_SOURCE_DIR}/data/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

include(CPack)
