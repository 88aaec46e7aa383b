// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/sim/UsbBusPort.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <cstring>
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

class UsbBusPort : public SimPort {
public:
    UsbBusPort(const std::vector<std::string>& command, int programWaitMs)
        : calculator_(fakeusb::DeviceShape{}, CalculatorLook()), programWaitMs_(programWaitMs)
    {
        if (command.empty()) throw std::runtime_error("calvyx-sim: --usb-device needs a program to start after --");
        // The calculator takes no more while 64 KB it took wait for the role, as a device
        // that stops acknowledging OUT packets: the program's writes wait.
        calculator_.HoldWritesWhile([this] {
            std::lock_guard lock(mutex_);
            return received_.size() >= HeldBytesLimit;
        });
        calculator_.Answer([this](const ByteString& data) {
            {
                std::lock_guard lock(mutex_);
                received_ += data;
            }
            arrived_.notify_all();
            return ByteString();
        });
        Start(command);
    }

    ~UsbBusPort() override
    {
        // The program finishes its work on the bus first; a program that outlives its
        // allowance (a Kermit server waits for ever) is stopped, then killed.
        {
            std::lock_guard lock(mutex_);
            playing_ = false;
        }
        ended_changed_.notify_all();
        if (!WaitProgram(programWaitMs_)) {
            ::kill(pid_, SIGTERM);
            if (!WaitProgram(5000)) {
                ::kill(pid_, SIGKILL);
                WaitProgram(-1);
            }
        }
        if (waiter_.joinable()) waiter_.join();
    }

    std::string ProgramPortName() const override { return calculator_.PortName(); }
    bool IsUsb() const override { return true; }

    bool Send(const ByteString& bytes) override
    {
        if (unplugged_) return false;
        calculator_.Send(bytes);
        return true;
    }

    ByteString Receive(std::size_t max, int timeoutMs) override
    {
        if (paceRate_ > 0) max = PacedCount(max);
        ByteString got;
        {
            std::unique_lock lock(mutex_);
            arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !received_.empty(); });
            got = Take(std::min(max, received_.size()));
        }
        PacedTaken(got.size());
        calculator_.TakeHeldWrites();
        return got;
    }

    ByteString ReceiveExactly(std::size_t n, int timeoutMs) override
    {
        ByteString got;
        {
            std::unique_lock lock(mutex_);
            arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return received_.size() >= n; });
            got = Take(std::min(n, received_.size()));
        }
        calculator_.TakeHeldWrites();
        return got;
    }

    ByteString ReceiveUntil(const ByteString& expected, int timeoutMs) override
    {
        ByteString got;
        {
            std::unique_lock lock(mutex_);
            std::size_t at = ByteString::npos;
            arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
                at = expected.empty() ? 0 : received_.find(expected);
                return at != ByteString::npos;
            });
            got = Take(at == ByteString::npos ? received_.size() : at + expected.size());
        }
        calculator_.TakeHeldWrites();
        return got;
    }

    void Drain() override
    {
        {
            std::lock_guard lock(mutex_);
            received_.clear();
        }
        calculator_.TakeHeldWrites();
    }

    void Hangup() override
    {
        if (unplugged_.exchange(true)) return;
        calculator_.Unplug();
    }

private:
    void Start(const std::vector<std::string>& command)
    {
        const std::vector<std::string> env = ProgramEnvironment(calculator_.TestbedRoot());
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
            ended_changed_.notify_all();
            // The role may still be checking what it got: it has its own time to end.
            // After that its waits end, since the program it served is gone.
            if (ended_changed_.wait_for(lock, std::chrono::milliseconds(programWaitMs_), [&] { return !playing_; })) return;
            RoleCutShort = true;
            ::kill(::getpid(), SIGTERM);
        });
    }

    // True when the program ended within ms (ms < 0: no limit).
    bool WaitProgram(int ms)
    {
        std::unique_lock lock(mutex_);
        if (ms < 0) {
            ended_changed_.wait(lock, [&] { return ended_; });
            return true;
        }
        return ended_changed_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return ended_; });
    }

    ByteString Take(std::size_t n)
    {
        ByteString out = received_.substr(0, n);
        received_.erase(0, n);
        return out;
    }

    fakeusb::FakeCalculator calculator_;
    const int programWaitMs_;
    pid_t pid_ = -1;
    std::thread waiter_;
    std::atomic<bool> unplugged_{false};
    bool playing_ = true; // under mutex_
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::condition_variable ended_changed_;
    ByteString received_;
    bool ended_ = false;
};

} // namespace

std::unique_ptr<SimPort> CreateUsbBusPort(const std::vector<std::string>& command, int programWaitMs)
{
    return std::make_unique<UsbBusPort>(command, programWaitMs);
}

bool UsbBusRoleCutShort() { return RoleCutShort; }

std::optional<int> UsbBusProgramResult()
{
    const int result = ProgramResult;
    if (result < 0) return std::nullopt;
    return result;
}

} // namespace sim
