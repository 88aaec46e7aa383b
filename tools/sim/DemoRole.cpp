// SPDX-License-Identifier: GPL-3.0-or-later
// calvyx-sim demo: a calculator session for a newcomer to watch, on one USB pipe device
// that stays plugged throughout: the calculator pushes a file, asks for one by XModem,
// and pushes its screen, saying after each step what happened.
#include <cstdio>
#include <sstream>

#include "services/ScreenImage.h"
#include "tools/common/CommandTable.h"
#include "tools/sim/Bursts.h"
#include "tools/sim/KermitRole.h"
#include "tools/sim/RoleCommand.h"
#include "tools/sim/ScreenRole.h"
#include "util/Utils.h"

namespace sim {
namespace {

const char* const DemoHelp =
    "usage: calvyx-sim demo [port options] [options]\n\n"
    "Plays a short calculator session on the USB pipe device (always --usb):\n"
    "  push        the calculator pushes a file (Kermit)\n"
    "  xmodem      it asks for a file by XModem and checks what arrives\n"
    "  screen      it pushes its screen (ON and 1)\n\n"
    "  --steps LIST    the steps, comma-separated, in order (default push,xmodem,screen)\n"
    "  --push-name N   name of the pushed file (default DEMO.QVA)\n"
    "  --push-file F   contents of the pushed file (default a generated Calcapp)\n"
    "  --expect F      the file the program should send by XModem (checked when given)\n"
    "  --pause MS      pause before each step (default 1500)\n";

// A made-up Calcapp: a header naming it and some body bytes.
ByteString SampleCalcapp(const std::string& name)
{
    ByteString data = "QVCALC\x01\x00";
    data += static_cast<char>(name.size());
    data += name;
    for (int i = 0; i < 4000; ++i) data += static_cast<char>((i * 31 + 7) & 0xFF);
    return data;
}

std::vector<std::string> SplitSteps(const std::string& list)
{
    std::vector<std::string> steps;
    std::stringstream in(list);
    for (std::string step; std::getline(in, step, ',');)
        if (!step.empty()) steps.push_back(step);
    return steps;
}

bool StepPush(SimPort& port, const std::string& name, const ByteString& data)
{
    std::printf("calculator: pushing %s (%zu bytes) by Kermit ...\n", name.c_str(), data.size());
    std::fflush(stdout);
    // The first packet is repeated until the program's Kermit server answers.
    KermitOptions options;
    options.tries = 10;
    const KermitResult result = KermitCalculator(port, options).PushFile(name, data);
    if (result.ok)
        std::printf("calculator: %s pushed, every packet acknowledged\n", name.c_str());
    else
        std::printf("calculator: the push failed: %s\n", result.error.c_str());
    return result.ok;
}

bool StepXModem(SimPort& port, const std::string& expectFile)
{
    std::printf("calculator: asking the PC for a file by XModem ...\n");
    std::fflush(stdout);
    XModemReceivePlan plan;
    plan.giveUpMs = 30000;
    const XModemReceiveResult result = ReceiveByXModem(port, plan);
    if (!result.ok) {
        std::printf("calculator: no file came by XModem: %s\n", result.cancelled ? "the PC declined" : result.error.c_str());
        return false;
    }
    std::printf("calculator: received %zu bytes in %zu blocks\n", result.data.size(), result.blockSizes.size());
    if (!expectFile.empty()) {
        const ByteString expected = ReadFileToString(expectFile);
        // The last block is padded; what matters is that the file came whole.
        const bool same = result.data.compare(0, expected.size(), expected) == 0;
        std::printf("calculator: %s\n", same ? "it is the expected file" : "it differs from the expected file");
        return same;
    }
    return true;
}

bool StepScreen(SimPort& port)
{
    MonoBitmap screen;
    PatternScreen("frame", screen);
    std::printf("calculator: ON and 1 pressed, pushing the screen ...\n");
    std::fflush(stdout);
    const bool ok = SendInBursts(port, EncodeScreen(screen, PushedScreenHeader), 256, 5);
    std::printf("calculator: %s\n", ok ? "screen pushed" : "the program's side is gone");
    return ok;
}

int RunDemo(std::vector<std::string> args)
{
    PortOptions options;
    std::string steps = "push,xmodem,screen", pushName = "DEMO.QVA", pushFile, expectFile;
    int pauseMs = 1500;
    const auto option = [&](const std::string& name, const std::string& value) -> std::string {
        if (name == "--steps")
            steps = value;
        else if (name == "--push-name")
            pushName = value;
        else if (name == "--push-file")
            pushFile = value;
        else if (name == "--expect")
            expectFile = value;
        else if (name == "--pause") {
            const auto n = tooling::WholeNumber(value);
            if (!n) return name + " needs a number";
            pauseMs = *n;
        } else {
            return "unknown option " + name;
        }
        return {};
    };
    const auto word = [](const std::string& w) -> std::string { return "unexpected " + w; };
    if (const auto rc = ParseRoleArgs("demo", DemoHelp, std::move(args), options, option, word)) return *rc;
    const auto list = SplitSteps(steps);
    for (const auto& step : list)
        if (step != "push" && step != "xmodem" && step != "screen") return RoleUsage("demo", "no step " + step);
    const ByteString pushData = pushFile.empty() ? SampleCalcapp(pushName) : ReadFileToString(pushFile);

    options.usb = true;
    const std::unique_ptr<SimPort> port = OpenSimPort(options);
    int failures = 0;
    for (const auto& step : list) {
        if (WaitForStop(pauseMs)) return 1;
        const bool ok = step == "push"     ? StepPush(*port, pushName, pushData)
                        : step == "xmodem" ? StepXModem(*port, expectFile)
                                           : StepScreen(*port);
        failures += ok ? 0 : 1;
        std::fflush(stdout);
    }
    // Give the program a moment with the last step before the device goes.
    WaitForStop(pauseMs);
    return failures == 0 ? 0 : 1;
}

const tooling::CommandRegistration demoCommand{{"demo", "a short calculator session: push, XModem request, screen", RunDemo}};

} // namespace
} // namespace sim
