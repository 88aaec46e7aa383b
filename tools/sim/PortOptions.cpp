// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/sim/PortOptions.h"
#include "tools/sim/UsbBusPort.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "link/LinkIo.h"
#include "link/PortName.h"
#include "link/UsbPipes.h"
#include "tools/common/CommandTable.h"
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

// One simulator per device root: a second one would make its pipes over the first one's
// and take bytes meant for it, and its exit would unplug the other's device. The lock
// file QVxT0+.lock in the root is held (flock) while the process lives; the kernel lets
// go of it however the process ends. A clean end removes the file (still holding the
// lock, so that a start at that moment locks a file of its own and is not let in beside
// a live one: see Take).
class DeviceRootLock {
public:
    explicit DeviceRootLock(const std::string& root) : path_(root + "/" + UsbDeviceName + ".lock") { Take(root); }
    ~DeviceRootLock()
    {
        ::unlink(path_.c_str());
        ::close(fd_);
    }
    DeviceRootLock(const DeviceRootLock&) = delete;
    DeviceRootLock& operator=(const DeviceRootLock&) = delete;

private:
    void Take(const std::string& root)
    {
        // A file that its holder removed between our open and our lock is not the lock any
        // more: try again on the one that is there now (a few times; a start that keeps
        // losing that race gives up rather than spin).
        for (int attempt = 0; attempt < 10; ++attempt) {
            const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
            if (fd < 0) throw std::runtime_error("calvyx-sim: cannot make the lock " + path_ + ": " + std::strerror(errno));
            if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
                const int err = errno;
                const std::string holder = Holder(fd);
                ::close(fd);
                if (err == EWOULDBLOCK)
                    throw std::runtime_error("calvyx-sim: another calvyx-sim" + holder + " plays the USB device in " + root +
                                             "; stop it first, or give this one a --root of its own");
                throw std::runtime_error("calvyx-sim: cannot lock " + path_ + ": " + std::strerror(err));
            }
            struct stat held {
            }, named{};
            if (::fstat(fd, &held) == 0 && ::stat(path_.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
                held.st_dev == named.st_dev) {
                fd_ = fd;
                // Who holds it, for the message of a second start.
                const std::string pid = std::to_string(::getpid()) + "\n";
                if (::ftruncate(fd_, 0) == 0 && ::pwrite(fd_, pid.data(), pid.size(), 0) < 0) {
                    // Only the message of a second start would lack the number.
                }
                return;
            }
            ::close(fd);
        }
        throw std::runtime_error("calvyx-sim: the lock " + path_ + " kept changing; try again");
    }

    // " (process N)" from the holder's lock file, or nothing.
    static std::string Holder(int fd)
    {
        char text[24] = {};
        const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
        if (n <= 0) return {};
        const auto pid = tooling::WholeNumber(std::string(text, static_cast<std::size_t>(n)).substr(0, std::strcspn(text, "\n")));
        return pid ? " (process " + std::to_string(*pid) + ")" : std::string();
    }

    std::string path_;
    int fd_ = -1;
};
// Held from the device's making to the process's end.
std::optional<DeviceRootLock> RootLock;

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
        MakeDeviceRoot(root);
        if (!RootLock) RootLock.emplace(root);
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
