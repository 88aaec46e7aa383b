// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every calvyx-sim role shares: the options that choose and shape the
// calculator's end of the link, byte strings written in hex on the command line, and
// the signals that end a role's waits.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/sim/SimPort.h"

namespace sim {

struct PortOptions {
    bool usb = false;
    std::string root; // USB device root; empty means the program's default root
    bool throttle = false;
    double pace = 0; // bytes/s the calculator takes; 0: as fast as they come
    FaultPlan faults;
    // --usb-device: the calculator is a USB device on a bus of its own (umockdev), and
    // program (everything after "--") is started to see it.
    bool usbBus = false;
    std::vector<std::string> program;
};

// The help lines of the options TakePortOptions understands.
extern const char* const PortOptionsHelp;

// Removes the port options from args (wherever they stand) into options; the rest is
// left for the role. Returns an error text, empty when all was well.
std::string TakePortOptions(std::vector<std::string>& args, PortOptions& options);

// Makes the port OpenSimPort returns on the calling thread, whatever the options say
// (calvyx-sim class on one USB bus plays each role in a thread of its own); empty: the
// port is made from the options again.
void SetThreadPort(std::function<std::unique_ptr<SimPort>()> make);

// Creates the calculator's end and prints, as one line on stdout, the name the program
// should open (the pseudo-terminal's path, or the USB device name).
std::unique_ptr<SimPort> OpenSimPort(const PortOptions& options);

// "01 02 ff", "0102FF" or "01:02:ff"; nothing when the text is not hex bytes.
std::optional<ByteString> ParseHex(std::string_view text);

// SIGINT, SIGTERM and SIGHUP end a role's waits instead of the process, so the USB
// device is unplugged (its folder removed) on the way out.
void InstallStopSignals();
bool StopRequested();
// Sleeps until a stop signal came or ms passed (ms < 0: until a signal). True when
// stopped.
bool WaitForStop(int ms);

} // namespace sim
