#pragma once
// Opening the port a command names, with the command line's conventions. The commands
// reach the link's own rules (the name's letter case, the baud) only through here.
#include <string>

namespace cli {

// Opens the link at 9600 baud with the long serial time limits, under the port's
// UpperCasePortName like every other opening. On failure prints "Error(The connectivity
// kit is unable to open communications to: NAME)" on stderr and returns false (the
// command then exits with ExitPortError).
bool OpenCliPort(const std::string& port);
// The name the link opens for port, as the program shows it: UpperCasePortName.
std::string PortNameToOpen(const std::string& port);
// Opens the link at 9600 baud unless it is open already (a screen capture keeps the
// link it finds open). Raises CalvyxError when it cannot.
void OpenPortUnlessOpen(const std::string& port);
void ClosePort();

} // namespace cli
