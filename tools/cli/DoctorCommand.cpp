// calvyx-cli doctor: why the calculator cannot be opened, and the one command or line
// that fixes each thing in the way (link/ConnectionDoctor.h finds them).
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "link/ConnectionDoctor.h"
#include "link/UsbDevices.h"
#include "tools/cli/Commands.h"

namespace cli {
namespace {

const char* SeverityText(FindingSeverity severity)
{
    switch (severity) {
    case FindingSeverity::Ok:
        return "ok";
    case FindingSeverity::Warning:
        return "warning";
    case FindingSeverity::Problem:
        return "PROBLEM";
    }
    return "?";
}

int Doctor(std::vector<std::string> words)
{
    const auto args = Args::Parse(words, {"root"}, {});
    if (!args) return UsageError("doctor");
    if (!args->Positional().empty()) return UsageError("doctor", "no words besides the options are taken");
    DoctorSetup setup;
    if (const auto root = args->Value("root")) {
        if (root->empty()) return UsageError("doctor", "--root needs a folder");
        setup.root = *root;
    }
    setup.user = CurrentDoctorUser();
    setup.listedIds = ReadCalculatorIds();
    setup.ownPid = ::getpid();

    const DoctorReport report = ExamineConnections(setup);
    std::string subject;
    for (const auto& f : report.findings) {
        if (f.subject != subject) {
            subject = f.subject;
            std::printf("%s\n", subject.c_str());
        }
        std::printf("  %-8s %s\n", SeverityText(f.severity), f.found.c_str());
        if (!f.fix.empty()) std::printf("  %-8s fix: %s\n", "", f.fix.c_str());
    }
    std::printf("%s\n", report.calculatorUsable ? "result: a calculator connection can be opened"
                                                : "result: no calculator connection can be opened");
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
