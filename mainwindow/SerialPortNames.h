// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serial ports of this machine as the connection box names them (a file for each
// system: SerialPortNames.cpp, SerialPortNamesWin32.cpp).
#include <QStringList>

// Linux: every serial device Qt finds, /dev/ttySn as COM(n+1) and the others by their
// path; Windows: the COM ports the registry lists.
QStringList SerialPortNames();
