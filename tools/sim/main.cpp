// SPDX-License-Identifier: GPL-3.0-or-later
// calvyx-sim: the virtual calculator. A thin dispatcher over the registered
// subcommands (tools/sim/*.cpp) of the program's command table.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/common/CommandTable.h"
#include "tools/sim/PortOptions.h"
#include "tools/sim/UsbBusPort.h"
#include "util/Version.h"

namespace {

void Usage(std::FILE* to)
{
    std::fprintf(to, "usage: calvyx-sim COMMAND [options]\n\ncommands:\n");
    tooling::ProgramCommands().List(to, 14);
    std::fprintf(to, "\n'calvyx-sim COMMAND --help' describes a command's options.\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        Usage(stderr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        Usage(stdout);
        return 0;
    }
    if (name == "--version") {
        std::printf("calvyx-sim %s\n", GetVersionNumber().c_str());
        return 0;
    }
    const tooling::Command* command = tooling::ProgramCommands().Find(name);
    if (!command) {
        std::fprintf(stderr, "calvyx-sim: unknown command '%s'\n\n", name.c_str());
        Usage(stderr);
        return 2;
    }
    sim::InstallStopSignals();
    try {
        const int rc = command->run(std::vector<std::string>(argv + 2, argv + argc));
        // With --usb-device the program's failure comes first, then the role's own.
        if (const auto program = sim::UsbBusProgramResult()) {
            if (*program != 0) return *program;
            return sim::UsbBusRoleCutShort() ? 0 : rc;
        }
        return rc;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
