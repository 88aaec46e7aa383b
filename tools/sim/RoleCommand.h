// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the protocol roles' subcommands share: --help, the port options, their own
// options with a value each, and the usage error.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/sim/PortOptions.h"

namespace sim {

// Prints "calvyx-sim NAME: why" on stderr; returns 2, the usage exit code.
int RoleUsage(const std::string& name, const std::string& why);

// Parses a role's arguments. help is printed (followed by the port options' help) for
// --help; the port options go to portOptions; the switches named in switches are handed
// to option with an empty value, every other "--x VALUE" to option, every other word to
// word; each returns an error text, empty when it took it.
// Returns the exit code to end with (0 after --help, 2 on a usage error), or nothing to
// go on.
std::optional<int> ParseRoleArgs(const std::string& name, const char* help, std::vector<std::string> args,
                                 PortOptions& portOptions,
                                 const std::function<std::string(const std::string&, const std::string&)>& option,
                                 const std::function<std::string(const std::string&)>& word,
                                 const std::vector<std::string>& switches = {});

} // namespace sim
