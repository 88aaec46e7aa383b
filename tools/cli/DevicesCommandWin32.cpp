// SPDX-License-Identifier: GPL-3.0-or-later
// calvyx-cli devices on Windows: the COM ports the registry lists (the ones serve --all
// follows). There is no pipe device on Windows, and this build has no USB link yet.
#include <cstdio>
#include <string>

#include "link/SerialPortList.h"
#include "tools/cli/Commands.h"

namespace cli {
namespace {

int Devices(std::vector<std::string> words)
{
    const auto args = Args::Parse(words, {"add"}, {});
    if (!args) return UsageError("devices");
    if (!args->Positional().empty()) return UsageError("devices", "no words besides the options are taken");
    if (args->Value("add")) return UsageError("devices", "--add is for the USB link, which this Windows build has not");

    std::printf("serial ports:\n");
    const auto ports = ListSerialPorts();
    if (ports.empty()) std::printf("  none\n");
    for (const auto& port : ports) std::printf("  %s\n", port.c_str());
    std::printf("pipe device:\n  none (Windows has none)\n");
    std::printf("USB devices:\n  not looked at (this Windows build has no USB link)\n");
    return ExitOk;
}

const tooling::CommandRegistration devicesCommand{
    {"devices", "lists the COM ports that could be the calculator", Devices, "devices",
     "Lists the COM ports Windows knows (HARDWARE\\DEVICEMAP\\SERIALCOMM in the registry), the\n"
     "ones serve --all follows. This Windows build has no USB link.\n"}};

} // namespace
} // namespace cli
