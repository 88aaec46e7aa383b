// SPDX-License-Identifier: GPL-3.0-or-later
// The serial device names of link/PortName.h on Windows: "COMn" is \\.\COMn (the form
// that reaches COM10 and above too); a name that starts \\.\ is taken as given.
#include <windows.h>

#include "link/PortName.h"

std::string SerialDevicePath(const std::string& name)
{
    if (name.rfind("\\\\.\\", 0) == 0) return name;
    return "\\\\.\\" + name;
}

// A COM port is there when the system knows its device name; nothing is opened.
bool PortPresent(const std::string& name)
{
    const std::string opened = UpperCasePortName(name);
    if (IsUsbName(opened)) return false;
    std::string device = SerialDevicePath(opened).substr(4);
    char target[512];
    return ::QueryDosDeviceA(device.c_str(), target, sizeof target) != 0;
}

// Windows has no pseudo-terminals that a COM name could stand for.
bool IsPseudoTerminal(const std::string&) { return false; }
