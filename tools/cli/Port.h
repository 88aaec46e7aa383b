#pragma once
// Opening the port a command names, with the command line's conventions.
#include <string>

namespace cli {

// The name the link is opened with: the USB device name in upper case whatever case was
// typed, "COMn" in upper case, a device path exactly as given.
std::string LinkNameFor(const std::string& port);

// Opens the link at 9600 baud with the long serial time limits. On failure prints
// "Error(The connectivity kit is unable to open communications to: NAME)" on stderr and
// returns false (the command then exits with ExitPortError).
bool OpenCliPort(const std::string& port);

} // namespace cli
