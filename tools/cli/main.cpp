// SPDX-License-Identifier: GPL-3.0-or-later
// calvyx-cli: the Calvyx core in a terminal, without windows.
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "link/Trace.h"
#include "tools/cli/Commands.h"
#include "util/Ticks.h"
#include "util/Version.h"

namespace {
// CALVYX_TRACE=FILE: the diagnostic trace (every frame, resend and decision of the
// engines) is appended to FILE, each line with the tick it was written at.
void TraceToFileFromEnvironment()
{
    const char* path = std::getenv("CALVYX_TRACE");
    if (!path || !*path) return;
    FILE* file = std::fopen(path, "a");
    if (!file) {
        std::fprintf(stderr, "calvyx-cli: cannot write the trace to %s\n", path);
        return;
    }
    static std::mutex lock;
    SetTraceSink([file](const std::string& line) {
        const std::lock_guard guard(lock);
        std::fprintf(file, "%10u %s\n", Now(), line.c_str());
        std::fflush(file);
    });
}

int ListCommands(FILE* out)
{
    std::fprintf(out, "usage: calvyx-cli COMMAND [options]\n\ncommands:\n");
    tooling::ProgramCommands().List(out, 10);
    std::fprintf(out,
                 "\nports: QVxT0+ (the USB device), usb:VVVV:PPPP (a USB device by its id), usb:BUS-PORT.PORT\n"
                 "       (the USB device in that socket, e.g. usb:1-2.3), COMn, or a device path\n"
                 "exit codes: 0 done, 1 transfer failed, 2 bad usage, 3 port error, 130 stopped by Ctrl-C\n"
                 "\n'calvyx-cli COMMAND --help' describes a command's options.\n");
    return cli::ExitUsage;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TraceToFileFromEnvironment();
    if (argc < 2) return ListCommands(stderr);
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        ListCommands(stdout);
        return cli::ExitOk;
    }
    if (name == "--version") {
        std::printf("calvyx-cli %s\n", GetVersionNumber().c_str());
        return cli::ExitOk;
    }
    const tooling::Command* command = tooling::ProgramCommands().Find(name);
    if (!command) {
        std::fprintf(stderr, "calvyx-cli: unknown command \"%s\"\n", name.c_str());
        return ListCommands(stderr);
    }
    std::vector<std::string> words(argv + 2, argv + argc);
    if (tooling::AsksForHelp(words)) {
        std::printf("usage: calvyx-cli %s\n\n%s.\n\n%s", command->synopsis, command->summary, command->details);
        return cli::ExitOk;
    }
    return command->run(std::move(words));
}
