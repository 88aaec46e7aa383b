// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/sim/UsbBusPort.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tools/sim/FakeCalculator.h"

extern char** environ;

namespace sim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t HeldBytesLimit = 64 * 1024;

// -1 while no program ended; set once by the thread that waits for it.
std::atomic<int> ProgramResult{-1};
// The program ended while the role was still playing: the role was cut short.
std::atomic<bool> RoleCutShort{false};

// The environment of the program: the parent's, with umockdev's preload library in
// front of LD_PRELOAD and UMOCKDEV_DIR naming the test bed.
std::vector<std::string> ProgramEnvironment(const std::string& testbedRoot)
{
    std::vector<std::string> env;
    std::string preload = "libumockdev-preload.so.0";
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("LD_PRELOAD=", 0) == 0) {
            const std::string rest = entry.substr(std::strlen("LD_PRELOAD="));
            if (!rest.empty()) preload += ":" + rest;
        } else if (entry.rfind("UMOCKDEV_DIR=", 0) != 0) {
            env.push_back(entry);
        }
    }
    env.push_back("LD_PRELOAD=" + preload);
    env.push_back("UMOCKDEV_DIR=" + testbedRoot);
    return env;
}

// A calculator found by its product string, as one missing from the settings list is.
fakeusb::DeviceLook CalculatorLook()
{
    fakeusb::DeviceLook look;
    look.product = "QV T20+";
    return look;
}

int ExitCode(int status)
{
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return 1;
}

// One calculator on the bus and what the program wrote to it, kept for its role.
struct CalculatorEnd {
    CalculatorEnd(const fakeusb::DeviceLook& look, fakeusb::FakeCalculator* sameBus)
        : own(sameBus ? std::make_unique<fakeusb::FakeCalculator>(fakeusb::DeviceShape{}, look, *sameBus)
                      : std::make_unique<fakeusb::FakeCalculator>(fakeusb::DeviceShape{}, look)),
          calculator(*own)
    {
        // The calculator takes no more while 64 KB it took wait for the role, as a device
        // that stops acknowledging OUT packets: the program's writes wait.
        calculator.HoldWritesWhile([this] {
            std::lock_guard lock(mutex);
            return received.size() >= HeldBytesLimit;
        });
        calculator.Answer([this](const ByteString& data) {
            {
                std::lock_guard lock(mutex);
                received += data;
            }
            arrived.notify_all();
            return ByteString();
        });
    }

    std::unique_ptr<fakeusb::FakeCalculator> own;
    fakeusb::FakeCalculator& calculator;
    std::atomic<bool> unplugged{false};
    std::mutex mutex;
    std::condition_variable arrived;
    ByteString received; // under mutex
};

// The role's port on a calculator of the bus.
class EndPort : public SimPort {
public:
    explicit EndPort(std::shared_ptr<CalculatorEnd> end) : end_(std::move(end)) {}

    std::string ProgramPortName() const override { return end_->calculator.PortName(); }
    bool IsUsb() const override { return true; }

    bool Send(const ByteString& bytes) override
    {
        if (end_->unplugged) return false;
        end_->calculator.Send(bytes);
        return true;
    }

    ByteString Receive(std::size_t max, int timeoutMs) override
    {
        if (paceRate_ > 0) max = PacedCount(max);
        ByteString got;
        {
            std::unique_lock lock(end_->mutex);
            end_->arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !end_->received.empty(); });
            got = Take(std::min(max, end_->received.size()));
        }
        PacedTaken(got.size());
        end_->calculator.TakeHeldWrites();
        return got;
    }

    ByteString ReceiveExactly(std::size_t n, int timeoutMs) override
    {
        ByteString got;
        {
            std::unique_lock lock(end_->mutex);
            end_->arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return end_->received.size() >= n; });
            got = Take(std::min(n, end_->received.size()));
        }
        end_->calculator.TakeHeldWrites();
        return got;
    }

    ByteString ReceiveUntil(const ByteString& expected, int timeoutMs) override
    {
        ByteString got;
        {
            std::unique_lock lock(end_->mutex);
            std::size_t at = ByteString::npos;
            end_->arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
                at = expected.empty() ? 0 : end_->received.find(expected);
                return at != ByteString::npos;
            });
            got = Take(at == ByteString::npos ? end_->received.size() : at + expected.size());
        }
        end_->calculator.TakeHeldWrites();
        return got;
    }

    void Drain() override
    {
        {
            std::lock_guard lock(end_->mutex);
            end_->received.clear();
        }
        end_->calculator.TakeHeldWrites();
    }

    void Hangup() override
    {
        if (end_->unplugged.exchange(true)) return;
        end_->calculator.Unplug();
    }

private:
    // With end_->mutex held.
    ByteString Take(std::size_t n)
    {
        ByteString out = end_->received.substr(0, n);
        end_->received.erase(0, n);
        return out;
    }

    std::shared_ptr<CalculatorEnd> end_;
};

} // namespace

BusProgram::BusProgram(const std::vector<std::string>& command, const std::string& testbedRoot, int programWaitMs)
    : programWaitMs_(programWaitMs)
{
    if (command.empty()) throw std::runtime_error("calvyx-sim: --usb-device needs a program to start after --");
    const std::vector<std::string> env = ProgramEnvironment(testbedRoot);
    std::vector<char*> argv;
    for (const auto& a : command) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const int error = ::posix_spawnp(&pid_, argv[0], nullptr, nullptr, argv.data(), envp.data());
    if (error != 0) throw std::runtime_error("calvyx-sim: cannot start " + command[0] + ": " + std::strerror(error));
    waiter_ = std::thread([this] {
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {}
        ProgramResult = ExitCode(status);
        std::unique_lock lock(mutex_);
        ended_ = true;
        changed_.notify_all();
        // The role may still be checking what it got: it has its own time to end.
        // After that its waits end, since the program it served is gone.
        if (changed_.wait_for(lock, std::chrono::milliseconds(programWaitMs_), [&] { return !playing_; })) return;
        RoleCutShort = true;
        ::kill(::getpid(), SIGTERM);
    });
}

BusProgram::~BusProgram()
{
    // The program finishes its work on the bus first; a program that outlives its
    // allowance (a Kermit server waits for ever) is stopped, then killed.
    {
        std::lock_guard lock(mutex_);
        playing_ = false;
    }
    changed_.notify_all();
    if (!WaitProgram(programWaitMs_)) {
        ::kill(pid_, SIGTERM);
        if (!WaitProgram(5000)) {
            ::kill(pid_, SIGKILL);
            WaitProgram(-1);
        }
    }
    if (waiter_.joinable()) waiter_.join();
}

bool BusProgram::WaitProgram(int ms)
{
    std::unique_lock lock(mutex_);
    if (ms < 0) {
        changed_.wait(lock, [&] { return ended_; });
        return true;
    }
    return changed_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return ended_; });
}

namespace {

// One calculator and the program that sees its bus; the program goes first.
class UsbBusPort : public EndPort {
public:
    UsbBusPort(std::shared_ptr<CalculatorEnd> end, const std::vector<std::string>& command, int programWaitMs)
        : EndPort(end), program_(command, end->calculator.TestbedRoot(), programWaitMs)
    {
    }

private:
    BusProgram program_;
};

} // namespace

std::unique_ptr<SimPort> CreateUsbBusPort(const std::vector<std::string>& command, int programWaitMs)
{
    if (command.empty()) throw std::runtime_error("calvyx-sim: --usb-device needs a program to start after --");
    return std::make_unique<UsbBusPort>(std::make_shared<CalculatorEnd>(CalculatorLook(), nullptr), command, programWaitMs);
}

struct UsbClassBus::Calculators {
    // The first holds the test bed the others share: it goes last.
    std::vector<std::shared_ptr<CalculatorEnd>> ends;
    ~Calculators()
    {
        while (!ends.empty()) ends.pop_back();
    }
};

UsbClassBus::UsbClassBus(int count) : calculators_(std::make_unique<Calculators>())
{
    for (int n = 1; n <= count; ++n) {
        fakeusb::DeviceLook look = CalculatorLook();
        look.socket = "1-2." + std::to_string(n);
        look.deviceNumber = 4 + n;
        calculators_->ends.push_back(
            std::make_shared<CalculatorEnd>(look, n == 1 ? nullptr : &calculators_->ends.front()->calculator));
    }
}

UsbClassBus::~UsbClassBus() = default;

std::string UsbClassBus::TestbedRoot() const { return calculators_->ends.front()->calculator.TestbedRoot(); }

std::string UsbClassBus::SocketName(int n) const
{
    return calculators_->ends.at(static_cast<std::size_t>(n - 1))->calculator.SocketName();
}

std::unique_ptr<SimPort> UsbClassBus::Port(int n) const
{
    return std::make_unique<EndPort>(calculators_->ends.at(static_cast<std::size_t>(n - 1)));
}

bool UsbBusRoleCutShort() { return RoleCutShort; }

std::optional<int> UsbBusProgramResult()
{
    const int result = ProgramResult;
    if (result < 0) return std::nullopt;
    return result;
}

} // namespace sim
