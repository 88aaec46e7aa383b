# The Debian package: `cpack -G DEB` in the build folder (or
# `cpack -G DEB --config BUILD/CPackConfig.cmake -B OUT`). It holds what the install
# rules install: the three programs, the icon, the desktop entry, the metainfo, the
# udev rules and the manual pages; nothing of the tests, benches or fuzz targets.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME calvyx)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quentar-Varisko")
set(CPACK_PACKAGE_CONTACT "Calvyx developers <calvyx@calvyx.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://calvyx.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "connectivity kit for QV graphing calculators")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# The synopsis line is CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the long description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "\
Calvyx connects a PC to the QV T20, T20+, T20s and T30s graphing calculators
over a serial port (a USB-serial adapter) or the calculator's USB link. While
connected the calculator pushes files into a folder on the PC and fetches
files from it (Kermit); Calvyx also sends files the calculator asks for by
XModem, receives objects sent by wire, captures the calculator's screen as a
picture and loads new ROMs.
.
The package holds the desktop program (calvyx), the same transfers in a
terminal (calvyx-cli), a virtual calculator for trying them without hardware
(calvyx-sim), and udev rules that give the logged-in user the calculator's
devices.")
# The library packages the programs need, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windows in Chinese need a CJK font; a Chinese desktop has one already.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fonts-wqy-microhei | fonts-noto-cjk")
# Reload the udev rules after install and removal.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${CMAKE_SOURCE_DIR}/data/debian/postinst ${CMAKE_SOURCE_DIR}/data/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

include(CPack)
