// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/common/CommandTable.h"

#include <algorithm>

namespace tooling {

void CommandTable::Add(const Command& command)
{
    const auto at = std::lower_bound(commands_.begin(), commands_.end(), std::string_view(command.name),
                                     [](const Command& c, std::string_view name) { return c.name < name; });
    commands_.insert(at, command);
}

const Command* CommandTable::Find(std::string_view name) const
{
    for (const auto& c : commands_)
        if (name == c.name) return &c;
    return nullptr;
}

void CommandTable::List(std::FILE* to, int nameWidth) const
{
    for (const auto& c : commands_) std::fprintf(to, "  %-*s %s\n", nameWidth, c.name, c.summary);
}

CommandTable& ProgramCommands()
{
    // A function-local table: the registrations run before main, in any order.
    static CommandTable table;
    return table;
}

bool AsksForHelp(const std::vector<std::string>& words)
{
    return std::any_of(words.begin(), words.end(), [](const std::string& w) { return w == "--help" || w == "-h"; });
}

std::optional<int> WholeNumber(const std::string& text, int low, int high)
{
    try {
        std::size_t used = 0;
        const int n = std::stoi(text, &used);
        if (used == text.size() && n >= low && n <= high) return n;
    } catch (...) {
    }
    return std::nullopt;
}

} // namespace tooling
