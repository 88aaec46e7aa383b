// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command tables of calvyx-cli and calvyx-sim. Each command lives in a file of its
// own and registers itself there, before main runs:
//
//     const tooling::CommandRegistration serve{{"serve", "Kermit server ...", Serve, "serve --port NAME ..."}};
//
// main() only looks the name up and runs it. The number parser the commands' options
// share lives here too, so both programs read "--count 3" and "--after 500" alike.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tooling {

struct Command {
    const char* name;
    const char* summary; // one line for the command list
    // The words after the command name; returns the process exit code.
    int (*run)(std::vector<std::string> args);
    const char* synopsis = ""; // the usage line, for a program that prints it for all
    // What "COMMAND --help" prints below the usage line: what the command does, each
    // option, and how it ends. Empty for a program whose commands print their own.
    const char* details = "";
};

class CommandTable {
public:
    // Keeps the table sorted by name, whatever order the registrations ran in.
    void Add(const Command& command);
    const std::vector<Command>& All() const { return commands_; }
    const Command* Find(std::string_view name) const;
    // One "  NAME  SUMMARY" line a command, the name padded to nameWidth.
    void List(std::FILE* to, int nameWidth) const;

private:
    std::vector<Command> commands_;
};

// The program's own table, filled by the registrations of its files.
CommandTable& ProgramCommands();

struct CommandRegistration {
    explicit CommandRegistration(const Command& command) { ProgramCommands().Add(command); }
};

// True when the words after a command ask for its help ("--help" or "-h" anywhere).
bool AsksForHelp(const std::vector<std::string>& words);

// A whole number from low to high written alone ("12"), or nothing.
std::optional<int> WholeNumber(const std::string& text, int low = 0, int high = 2147483647);

} // namespace tooling
