// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serial backend of the link: a termios line (a real adapter or a pseudo-terminal)
// at the calculator's settings, with the line's read and write limits.
#include <memory>
#include <string>

class LinkBackend;

// Opens and configures the line that name stands for ("COMn" is /dev/ttyS(n-1)); a
// failure is traced and raised as a LinkError (its kind by errno), with nothing left
// open. A read also ends when wakeFd (the link's cancel signal) becomes readable.
std::unique_ptr<LinkBackend> OpenSerialBackend(const std::string& name, int baud, int wakeFd);
