// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serial ports the system lists by name, COM2 before COM10 (Windows: the registry's
// HARDWARE\DEVICEMAP\SERIALCOMM key). Built into the Windows link only.
#include <string>
#include <vector>

std::vector<std::string> ListSerialPorts();
