// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening the port a command names, with the command line's conventions. The commands
// reach the link's own rules (the name's letter case, the baud) only through here.
#include <string>

class CalculatorSession;

namespace cli {

// Connects the session to the port (at 9600 baud with the long serial time limits,
// under the port's UpperCasePortName like every other opening). On failure prints the
// port error line (PortErrorLine) on stderr and returns false (the command then exits
// with ExitPortError).
bool ConnectCliSession(CalculatorSession& session, const std::string& port, const char* command);

// Prints the transfer server's status on stdout once it says what is: "Device connected
// on PORT", "Copying NAME". The "Opening ..." before the port is open is left out: a port
// that does not open has its error line alone, on stderr.
void PrintOpenedPort(CalculatorSession& session);

// Why the port cannot be opened, in a few words: the link's own reason when it gave one
// (the udev rule a USB device needs, the program that holds it), else "no such device"
// when nothing of that name is there, "permission denied" for a device file the user may
// not open, and "the device did not open" otherwise.
std::string PortProblem(const std::string& port, const std::string& reason);
// The one line a port error prints on stderr, from the core's "Error(... to: PORT[.
// REASON])" text: "calvyx-cli COMMAND: cannot open PORT: WHY" (WHY from PortProblem).
std::string PortErrorLine(const char* command, const std::string& port, const std::string& error);
// The same line from the link's reason itself.
std::string PortErrorLineWithReason(const char* command, const std::string& port, const std::string& reason);

} // namespace cli
