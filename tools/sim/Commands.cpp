#include "tools/sim/Commands.h"

#include <algorithm>

namespace sim {

namespace {

// A function-local table: registrations run before main in any order.
std::vector<Command>& Table()
{
    static std::vector<Command> table;
    return table;
}

} // namespace

void RegisterCommand(Command command)
{
    auto& table = Table();
    const auto at = std::lower_bound(table.begin(), table.end(), command.name,
                                     [](const Command& c, const std::string& name) { return c.name < name; });
    table.insert(at, std::move(command));
}

const std::vector<Command>& Commands() { return Table(); }

const Command* FindCommand(const std::string& name)
{
    for (const auto& c : Table())
        if (c.name == name) return &c;
    return nullptr;
}

} // namespace sim
