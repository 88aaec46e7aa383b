// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The virtual calculator as a USB device on a bus of its own: a umockdev test bed holding
// a FakeCalculator, and a program started under umockdev's preload library that sees
// that bus instead of the machine's. Every transfer the program makes goes through
// libusb and the usbfs requests a real calculator would get, with no hardware.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/sim/SimPort.h"

namespace sim {

// Plays the calculator and starts command (program and arguments) on its bus. The port
// name the program opens is "usb:VVVV:PPPP" of the calculator (ProgramPortName). When
// the program ends, a stop is raised (the role's waits end); the port's end waits for
// the program, for at most programWaitMs, then stops it (SIGTERM, 5 s later SIGKILL).
std::unique_ptr<SimPort> CreateUsbBusPort(const std::vector<std::string>& command, int programWaitMs = 2000);

// The exit code of the program the port started (128 + signal when a signal ended it),
// once it ended; nothing when no program was started or it has not ended yet.
std::optional<int> UsbBusProgramResult();
// True when the program ended while the role still played (the role's result then
// says nothing of its own).
bool UsbBusRoleCutShort();

} // namespace sim
