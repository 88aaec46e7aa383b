// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening the port a command names, with the command line's conventions. The commands
// reach the link's own rules (the name's letter case, the baud) only through here.
#include <string>

class CalculatorSession;

namespace cli {

// Connects the session to the port (at 9600 baud with the long serial time limits,
// under the port's UpperCasePortName like every other opening). On failure prints
// "Error(The connectivity kit is unable to open communications to: NAME)" on stderr and
// returns false (the command then exits with ExitPortError).
bool ConnectCliSession(CalculatorSession& session, const std::string& port);

} // namespace cli
