# SPDX-License-Identifier: GPL-3.0-or-later
# Cross build for 64-bit Windows with MinGW-w64 (posix threads), as Debian 12 ships it.
# The Qt for MinGW: CALVYX_QT_MINGW (default: build-win/qt, where tools/setup-windows.sh
# unpacks it), or whatever CMAKE_PREFIX_PATH names (an MSYS2 or official Qt for MinGW).
# Qt's host tools (moc, rcc) come from QT_HOST_PATH (default /usr, Debian's
# qt6-base-dev-tools).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CALVYX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${CALVYX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CALVYX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CALVYX_MINGW_TRIPLE}-windres)
set(CMAKE_AR /usr/bin/${CALVYX_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/${CALVYX_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

set(CALVYX_QT_MINGW "${CMAKE_CURRENT_LIST_DIR}/../build-win/qt" CACHE PATH "The Qt for MinGW")
get_filename_component(CALVYX_QT_MINGW "${CALVYX_QT_MINGW}" ABSOLUTE)
set(QT_HOST_PATH /usr CACHE PATH "Where Qt's host tools (moc, rcc) are")
list(APPEND CMAKE_PREFIX_PATH "${CALVYX_QT_MINGW}")
set(CMAKE_FIND_ROOT_PATH /usr/${CALVYX_MINGW_TRIPLE} "${CALVYX_QT_MINGW}" ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
# Debian's wine64 package keeps its programs in /usr/lib/wine.
find_program(CALVYX_WINE64 wine64 PATHS /usr/lib/wine)
if(CALVYX_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CALVYX_WINE64})
endif()
