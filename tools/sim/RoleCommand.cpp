// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/sim/RoleCommand.h"

#include <algorithm>
#include <cstdio>

namespace sim {

int RoleUsage(const std::string& name, const std::string& why)
{
    std::fprintf(stderr, "calvyx-sim %s: %s\n", name.c_str(), why.c_str());
    return 2;
}

std::optional<int> ParseRoleArgs(const std::string& name, const char* help, std::vector<std::string> args,
                                 PortOptions& portOptions,
                                 const std::function<std::string(const std::string&, const std::string&)>& option,
                                 const std::function<std::string(const std::string&)>& word,
                                 const std::vector<std::string>& switches)
{
    for (const auto& a : args)
        if (a == "--help" || a == "-h") {
            std::printf("%s\nport options:\n%s", help, PortOptionsHelp);
            return 0;
        }
    if (const std::string error = TakePortOptions(args, portOptions); !error.empty()) return RoleUsage(name, error);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string error;
        if (a.rfind("--", 0) != 0) {
            error = word(a);
        } else if (std::find(switches.begin(), switches.end(), a) != switches.end()) {
            error = option(a, {});
        } else if (i + 1 >= args.size()) {
            error = a + " needs a value";
        } else {
            error = option(a, args[++i]);
        }
        if (!error.empty()) return RoleUsage(name, error);
    }
    return std::nullopt;
}

} // namespace sim
