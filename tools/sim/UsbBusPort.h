// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The virtual calculator as a USB device on a bus of its own: a umockdev test bed holding
// a FakeCalculator, and a program started under umockdev's preload library that sees
// that bus instead of the machine's. Every transfer the program makes goes through
// libusb and the usbfs requests a real calculator would get, with no hardware.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

#include "tools/sim/SimPort.h"

namespace sim {

// Plays the calculator and starts command (program and arguments) on its bus. The port
// name the program opens is "usb:VVVV:PPPP" of the calculator (ProgramPortName). When
// the program ends, a stop is raised (the role's waits end); the port's end waits for
// the program, for at most programWaitMs, then stops it (SIGTERM, 5 s later SIGKILL).
std::unique_ptr<SimPort> CreateUsbBusPort(const std::vector<std::string>& command, int programWaitMs = 2000);

// The program started to see a test bed's bus, with umockdev's preload library. When it
// ends while the role still plays, the role gets programWaitMs to end, then a stop is
// raised. Its end waits for the program for at most programWaitMs, then stops it
// (SIGTERM, 5 s later SIGKILL).
class BusProgram {
public:
    BusProgram(const std::vector<std::string>& command, const std::string& testbedRoot, int programWaitMs = 2000);
    ~BusProgram();
    BusProgram(const BusProgram&) = delete;
    BusProgram& operator=(const BusProgram&) = delete;

private:
    // True when the program ended within ms (ms < 0: no limit).
    bool WaitProgram(int ms);

    const int programWaitMs_;
    pid_t pid_ = -1;
    std::thread waiter_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool playing_ = true; // under mutex_
    bool ended_ = false;  // under mutex_
};

// A class of calculators of one id (usb:1e3a:0401, product "QV T20+") on one bus, each
// in its own socket: calculator n (from 1) in usb:1-2.n, port n of a hub.
class UsbClassBus {
public:
    explicit UsbClassBus(int count);
    ~UsbClassBus();
    UsbClassBus(const UsbClassBus&) = delete;
    UsbClassBus& operator=(const UsbClassBus&) = delete;
    std::string TestbedRoot() const;
    std::string SocketName(int n) const;
    // A role's port on calculator n (several may be made; they share the calculator).
    std::unique_ptr<SimPort> Port(int n) const;

private:
    struct Calculators;
    std::unique_ptr<Calculators> calculators_;
};

// The exit code of the program the port started (128 + signal when a signal ended it),
// once it ended; nothing when no program was started or it has not ended yet.
std::optional<int> UsbBusProgramResult();
// True when the program ended while the role still played (the role's result then
// says nothing of its own).
bool UsbBusRoleCutShort();

} // namespace sim
