// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/sim/PortOptions.h"
#include "tools/sim/UsbBusPort.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>
#include <unistd.h>

#include "link/LinkIo.h"
#include "link/PortName.h"
#include "link/UsbPipes.h"
#include "util/StopSignal.h"

namespace sim {

const char* const PortOptionsHelp =
    "  --usb            be the USB pipe device instead of a pseudo-terminal\n"
    "  --root DIR       device root of the USB device (default: the program's own)\n"
    "  --throttle       send at the line rate, 960 bytes/s\n"
    "  --pace B         take what the program sends at B bytes/s at most\n"
    "  --drop P         drop each sent byte with probability P\n"
    "  --corrupt P      flip one bit of each sent byte with probability P\n"
    "  --delay MS       pause MS before each send\n"
    "  --seed N         seed of the fault injection (default 1)\n"
    "  --usb-device -- PROGRAM [ARGS...]\n"
    "                   be a USB calculator (usb:1e3a:0401, product \"QV T20+\") on a bus\n"
    "                   of its own and start PROGRAM to see that bus (umockdev): every\n"
    "                   transfer goes through libusb. PROGRAM gets 2 s to end after\n"
    "                   the role, then SIGTERM. Exit code: PROGRAM's when not 0, else\n"
    "                   the role's (0 when the role still waited 2 s after PROGRAM\n"
    "                   ended)\n";

namespace {

bool ParseNumber(const std::string& text, double& out)
{
    try {
        std::size_t used = 0;
        out = std::stod(text, &used);
        return used == text.size();
    } catch (...) {
        return false;
    }
}

// Made by main() before a role runs; without it (a role run in-process by the tests)
// the waits simply sleep.
std::optional<StopSignal> Stop;

} // namespace

std::string TakePortOptions(std::vector<std::string>& args, PortOptions& options)
{
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](double& out) -> bool { return i + 1 < args.size() && ParseNumber(args[++i], out); };
        double number = 0;
        if (a == "--") {
            options.program.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        } else if (a == "--usb-device") {
            options.usbBus = true;
        } else if (a == "--usb") {
            options.usb = true;
        } else if (a == "--throttle") {
            options.throttle = true;
        } else if (a == "--root") {
            if (i + 1 >= args.size()) return "--root needs a folder";
            options.root = args[++i];
            options.usb = true;
        } else if (a == "--drop" || a == "--corrupt") {
            if (!value(number) || number < 0 || number > 1) return a + " needs a probability from 0 to 1";
            (a == "--drop" ? options.faults.dropByte : options.faults.corruptByte) = number;
        } else if (a == "--pace") {
            if (!value(number) || number <= 0) return a + " needs a positive rate in bytes/s";
            options.pace = number;
        } else if (a == "--delay" || a == "--seed") {
            if (!value(number) || number < 0) return a + " needs a non-negative number";
            if (a == "--delay")
                options.faults.delayMs = static_cast<int>(number);
            else
                options.faults.seed = static_cast<uint32_t>(number);
        } else {
            rest.push_back(a);
        }
    }
    args = std::move(rest);
    if (options.usbBus && options.program.empty())
        return "--usb-device needs a program to start: --usb-device -- PROGRAM [ARGS...]";
    if (!options.usbBus && !options.program.empty()) return "a program after -- needs --usb-device";
    if (options.usbBus && options.usb) return "--usb-device and --usb (or --root) exclude each other";
    return {};
}

namespace {
thread_local std::function<std::unique_ptr<SimPort>()> ThreadPort;
} // namespace

void SetThreadPort(std::function<std::unique_ptr<SimPort>()> make) { ThreadPort = std::move(make); }

std::unique_ptr<SimPort> OpenSimPort(const PortOptions& options)
{
    std::unique_ptr<SimPort> port;
    if (ThreadPort) {
        port = ThreadPort();
        port->SetThrottle(options.throttle);
        port->SetPace(options.pace);
        port->SetFaults(options.faults);
        return port;
    }
    if (options.usbBus) {
        port = CreateUsbBusPort(options.program);
        // stdout is the program's now: the device's name goes to stderr.
        std::fprintf(stderr, "calvyx-sim: USB device %s on a bus of its own, serving %s\n", port->ProgramPortName().c_str(),
                     options.program.front().c_str());
        port->SetThrottle(options.throttle);
        port->SetPace(options.pace);
        port->SetFaults(options.faults);
        return port;
    }
    if (options.usb) {
        const std::string root = options.root.empty() ? DeviceRoot() : options.root;
        port = CreateUsbDevice(root);
        std::fprintf(stderr, "calvyx-sim: USB device at %s/%s\n", root.c_str(), UsbDeviceName);
    } else {
        port = CreatePtyPort();
    }
    port->SetThrottle(options.throttle);
    port->SetPace(options.pace);
    port->SetFaults(options.faults);
    std::printf("%s\n", port->ProgramPortName().c_str());
    std::fflush(stdout);
    return port;
}

std::optional<ByteString> ParseHex(std::string_view text)
{
    ByteString out;
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == ':' || c == ',') {
            if (high >= 0) return std::nullopt; // a lone digit
            continue;
        }
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else
            return std::nullopt;
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<char>(high * 16 + v));
            high = -1;
        }
    }
    if (high >= 0) return std::nullopt;
    return out;
}

void InstallStopSignals()
{
    if (!Stop) Stop.emplace(std::vector<int>{SIGINT, SIGTERM, SIGHUP});
}

bool StopRequested() { return Stop && Stop->Raised(); }

bool WaitForStop(int ms)
{
    if (Stop) return Stop->Wait(ms);
    if (ms >= 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    else
        ::pause();
    return false;
}

} // namespace sim
