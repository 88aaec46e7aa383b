// SPDX-License-Identifier: GPL-3.0-or-later
// The first roles of the virtual calculator: hold the far end of a pseudo-terminal
// ("pty") or be the USB pipe device ("usb"), and play a script of byte steps given on
// the command line, in order. Later roles speak the protocols.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/common/CommandTable.h"
#include "tools/sim/PortOptions.h"
#include "tools/sim/RoleCommand.h"

namespace sim {

namespace {

const char* const ScriptHelp =
    "steps, run in the order given (with no step the port is held until a signal); the\n"
    "port closes when they end, so end with --sleep or --hold when the program still reads:\n"
    "  --send HEX        send bytes (\"41 42 0d\")\n"
    "  --send-text TEXT  send the text's bytes\n"
    "  --expect HEX      wait until what the program sent ends with these bytes\n"
    "  --expect-text T   the same with a text\n"
    "  --expect-count N  wait until N bytes have arrived (what they are does not matter)\n"
    "  --timeout MS      time limit of the following expects (default 5000)\n"
    "  --sleep MS        pause\n"
    "  --echo MS         send back whatever arrives, for MS (0: until a signal)\n"
    "  --hold            keep the port until a signal (SIGINT, SIGTERM, SIGHUP)\n"
    "  --hangup          close the calculator's end (pty: the program's line hangs up)\n"
    "  --unplug, --plug  remove / recreate the USB device\n"
    "  --unplug-after MS the same as --sleep MS --unplug\n";

class Script {
public:
    Script(SimPort& port, std::vector<std::string> steps) : port_(port), steps_(std::move(steps)) {}

    int Run()
    {
        if (steps_.empty()) steps_.push_back("--hold");
        for (std::size_t i = 0; i < steps_.size(); ++i) {
            if (StopRequested()) return 0;
            const std::string& step = steps_[i];
            std::string arg;
            if (NeedsArgument(step)) {
                if (i + 1 >= steps_.size()) return Usage(step + " needs a value");
                arg = steps_[++i];
            }
            const int rc = RunStep(step, arg);
            if (rc != 0) return rc;
        }
        return 0;
    }

private:
    static bool NeedsArgument(const std::string& step)
    {
        for (const char* s : {"--send", "--send-text", "--expect", "--expect-text", "--expect-count", "--timeout", "--sleep",
                              "--echo", "--unplug-after"})
            if (step == s) return true;
        return false;
    }

    static int Usage(const std::string& why)
    {
        std::fprintf(stderr, "calvyx-sim: %s\n", why.c_str());
        return 2;
    }

    SimUsbDevice* Usb() { return dynamic_cast<SimUsbDevice*>(&port_); }

    int RunStep(const std::string& step, const std::string& arg)
    {
        if (step == "--send" || step == "--send-text") {
            const auto bytes = step == "--send" ? ParseHex(arg) : std::optional<ByteString>(arg);
            if (!bytes) return Usage("not hex bytes: " + arg);
            if (!port_.Send(*bytes)) return Fail("the program's side is gone; could not send " + HexBytes(*bytes));
            return 0;
        }
        if (step == "--expect" || step == "--expect-text") {
            const auto bytes = step == "--expect" ? ParseHex(arg) : std::optional<ByteString>(arg);
            if (!bytes) return Usage("not hex bytes: " + arg);
            const ByteString got = port_.ReceiveUntil(*bytes, timeoutMs_);
            if (got.size() < bytes->size() || got.compare(got.size() - bytes->size(), bytes->size(), *bytes) != 0)
                return Fail("expected " + HexBytes(*bytes) + " within " + std::to_string(timeoutMs_) + " ms, got " +
                            (got.empty() ? std::string("nothing") : HexBytes(got, 256)));
            return 0;
        }
        if (step == "--expect-count") {
            const auto count = tooling::WholeNumber(arg);
            if (!count || *count <= 0) return Usage("--expect-count needs a number of bytes");
            const std::size_t got = ReceiveCount(static_cast<std::size_t>(*count));
            if (got < static_cast<std::size_t>(*count))
                return Fail("expected " + arg + " bytes within " + std::to_string(timeoutMs_) + " ms, got " +
                            std::to_string(got));
            return 0;
        }
        if (step == "--timeout" || step == "--sleep" || step == "--echo" || step == "--unplug-after") {
            const auto number = tooling::WholeNumber(arg);
            if (!number) return Usage(step + " needs a number of milliseconds");
            const int ms = *number;
            if (step == "--timeout")
                timeoutMs_ = ms;
            else if (step == "--echo")
                Echo(ms);
            else if (!WaitForStop(ms) && step == "--unplug-after")
                return RunStep("--unplug", {});
            return 0;
        }
        if (step == "--hold") {
            WaitForStop(-1);
            return 0;
        }
        if (step == "--hangup") {
            port_.Hangup();
            return 0;
        }
        if (step == "--unplug" || step == "--plug") {
            SimUsbDevice* usb = Usb();
            if (!usb) return Usage(step + " needs the USB device (--usb)");
            if (step == "--unplug")
                usb->Unplug();
            else
                usb->Plug();
            return 0;
        }
        return Usage("unknown step " + step);
    }

    // Takes what the program sends until count bytes are in or the time limit is over
    // (or a signal came); returns how many arrived.
    std::size_t ReceiveCount(std::size_t count)
    {
        using std::chrono::steady_clock;
        const auto deadline = steady_clock::now() + std::chrono::milliseconds(timeoutMs_);
        std::size_t got = 0;
        while (got < count && !StopRequested()) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - steady_clock::now()).count();
            if (left <= 0) break;
            // Short receives so that a signal is seen soon.
            got += port_.Receive(count - got, static_cast<int>(std::min<long long>(left, 200))).size();
        }
        return got;
    }

    void Echo(int ms)
    {
        using std::chrono::steady_clock;
        constexpr auto Slice = std::chrono::milliseconds(200);
        const auto deadline = steady_clock::now() + std::chrono::milliseconds(ms);
        while (!StopRequested() && (ms == 0 || steady_clock::now() < deadline)) {
            // Short receives so that a signal or the end of the period is seen soon.
            const auto sliceStart = steady_clock::now();
            const ByteString got = port_.Receive(4096, static_cast<int>(Slice.count()));
            if (!got.empty()) {
                if (!port_.Send(got)) return;
                continue;
            }
            // A closed end (after --hangup or --unplug) answers at once: wait out the
            // slice instead of spinning.
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(sliceStart + Slice - steady_clock::now());
            if (left.count() > 0) WaitForStop(static_cast<int>(left.count()));
        }
    }

    static int Fail(const std::string& why)
    {
        std::fprintf(stderr, "calvyx-sim: %s\n", why.c_str());
        return 1;
    }

    SimPort& port_;
    std::vector<std::string> steps_;
    int timeoutMs_ = 5000;
};

int RunScript(std::vector<std::string> args, bool usb)
{
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            std::printf("usage: calvyx-sim %s [options] [steps]\n\noptions:\n%s\n%s", usb ? "usb" : "pty", PortOptionsHelp,
                        ScriptHelp);
            return 0;
        }
    }
    PortOptions options;
    options.usb = usb;
    const std::string error = TakePortOptions(args, options);
    if (!error.empty()) {
        std::fprintf(stderr, "calvyx-sim: %s\n", error.c_str());
        return 2;
    }
    if (options.usb != usb) {
        std::fprintf(stderr, "calvyx-sim: --usb and --root belong to the usb command\n");
        return 2;
    }
    const std::unique_ptr<SimPort> port = OpenSimPort(options);
    return Script(*port, std::move(args)).Run();
}

int RunPty(std::vector<std::string> args) { return RunScript(std::move(args), false); }
int RunUsb(std::vector<std::string> args) { return RunScript(std::move(args), true); }

const tooling::CommandRegistration ptyCommand{{"pty", "hold a pseudo-terminal pair and play a byte script", RunPty}};
const tooling::CommandRegistration usbCommand{{"usb", "be the USB pipe device and play a byte script", RunUsb}};

} // namespace

} // namespace sim
