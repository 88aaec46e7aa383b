#pragma once
// The subcommands of calvyx-sim. Each protocol role lives in a file of its own under
// tools/sim/ and registers itself there:
//
//     static sim::CommandRegistration kermitPush{{"kermit-push", "push files as a Kermit sender", RunKermitPush}};
//
// main.cpp only dispatches. Roles share the port options of PortOptions.h.
#include <string>
#include <vector>

namespace sim {

struct Command {
    std::string name;
    std::string summary; // one line for the usage text
    // Arguments after the subcommand name. Returns the process exit code: 0 done,
    // 1 the exchange went wrong, 2 bad usage.
    int (*run)(std::vector<std::string> args);
};

void RegisterCommand(Command command);
// Sorted by name.
const std::vector<Command>& Commands();
const Command* FindCommand(const std::string& name);

struct CommandRegistration {
    explicit CommandRegistration(Command command) { RegisterCommand(std::move(command)); }
};

} // namespace sim
