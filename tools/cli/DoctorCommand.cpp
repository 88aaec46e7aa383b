// SPDX-License-Identifier: GPL-3.0-or-later
// calvyx-cli doctor: why the calculator cannot be opened, and the one command or line
// that fixes each thing in the way (link/ConnectionDoctor.h finds them).
#include <cstdio>
#include <string>
#include <vector>

#include "link/ConnectionDoctor.h"
#include "tools/cli/Commands.h"

namespace cli {
namespace {

int Doctor(std::vector<std::string> words)
{
    const auto args = Args::Parse(words, {"root"}, {});
    if (!args) return UsageError("doctor");
    if (!args->Positional().empty()) return UsageError("doctor", "no words besides the options are taken");
    const std::string root = args->Value("root").value_or("/");
    if (root.empty()) return UsageError("doctor", "--root needs a folder");
    const DoctorReport report = ExamineThisMachine(root);
    std::fputs(FormatDoctorReport(report).c_str(), stdout);
    return report.calculatorUsable ? ExitOk : ExitTransferFailed;
}

const tooling::CommandRegistration doctorCommand{
    {"doctor", "says why the calculator cannot be opened, and how to fix it", Doctor, "doctor [--root DIR]",
     "Looks at every way to the calculator (USB-serial adapters, COM1 and COM2, USB devices\n"
     "taken for the calculator, the pipe device QVxT0+) and says for each whether it is\n"
     "there, whether you may open it and through what (owner, group, an ACL given to the\n"
     "user at the seat), which udev rule gave that, whether your groups are active in this\n"
     "login, whether brltty or ModemManager take the port, which program holds it open\n"
     "and whether a kernel driver sits on the calculator's interface. Every finding that\n"
     "needs doing ends with the one command or line that does it.\n"
     "\n"
     "exit codes: 0 a calculator connection can be opened, 1 none can, 2 bad usage\n"
     "\n"
     "options:\n"
     "  --root DIR          read the system (sysfs, /proc, /etc, /dev, the udev rules)\n"
     "                      under DIR instead of /\n"}};

} // namespace
} // namespace cli
