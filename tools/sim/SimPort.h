// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The virtual calculator's end of the link: either the far side of a pseudo-terminal
// pair (the program opens the slave path, as it would a serial adapter) or a USB pipe
// device under a device root (the folder <root>/QVxT0+ holding the FIFOs PIPE0, which
// the program reads, and PIPE1, which it writes). Protocol roles (Kermit, XModem,
// screen push, ROM load) are written on top of these byte operations.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include "util/ByteString.h"

namespace sim {

// Faults a role can ask the port to inject into what the calculator sends.
struct FaultPlan {
    double dropByte = 0;    // probability a byte is not sent
    double corruptByte = 0; // probability a byte is flipped
    int delayMs = 0;        // pause before each write
    uint32_t seed = 1;
};

class SimPort {
public:
    virtual ~SimPort() = default;

    // The name the program passes to OpenLink: a pty slave path, or the device name
    // "QVxT0+" (with CALVYX_DEVICE_ROOT set to DeviceRoot()).
    virtual std::string ProgramPortName() const = 0;
    virtual bool IsUsb() const = 0;

    // Sends bytes to the program. When throttled, at the line rate (960 bytes/s at
    // 9600 baud). Returns false when the program's side is gone.
    virtual bool Send(const ByteString& bytes) = 0;
    // Reads what the program wrote: up to max bytes, waiting at most timeoutMs for the
    // first one. Empty on time-out.
    virtual ByteString Receive(std::size_t max, int timeoutMs) = 0;
    // Reads exactly n bytes within timeoutMs in all; returns what arrived (maybe fewer).
    virtual ByteString ReceiveExactly(std::size_t n, int timeoutMs) = 0;
    // Reads until the bytes seen end with `expected` or timeoutMs passes; returns all
    // bytes read. The caller checks the result (tests print it with HexBytes).
    virtual ByteString ReceiveUntil(const ByteString& expected, int timeoutMs) = 0;
    // Discards what the program wrote so far.
    virtual void Drain() = 0;
    // The calculator goes away: the pty master is closed (the program's line hangs
    // up) or the USB device is unplugged. Send fails afterwards.
    virtual void Hangup() = 0;

    void SetThrottle(bool lineRate) { throttle_ = lineRate; }
    // The calculator takes what the program writes at most at this rate (0: as fast as
    // it comes): Receive hands out no more than the rate allows since its first byte,
    // and the link's own buffer (the FIFO, the USB device's held transfers) makes the
    // program wait.
    void SetPace(double bytesPerSecond) { paceRate_ = bytesPerSecond; }
    void SetFaults(const FaultPlan& plan)
    {
        faults_ = plan;
        rng_.seed(plan.seed);
    }

protected:
    // How many of n bytes Receive may hand out now, waiting until at least one may go.
    std::size_t PacedCount(std::size_t n);
    // Counts bytes handed out.
    void PacedTaken(std::size_t n)
    {
        if (n > 0 && !paceStart_) paceStart_ = std::chrono::steady_clock::now();
        paceTaken_ += static_cast<double>(n);
    }

    bool throttle_ = false;
    double paceRate_ = 0;
    double paceTaken_ = 0;
    std::optional<std::chrono::steady_clock::time_point> paceStart_;
    FaultPlan faults_;
    std::mt19937 rng_{1};
};

// A pseudo-terminal pair created by the simulator; the program opens the slave path.
std::unique_ptr<SimPort> CreatePtyPort();

// The USB pipe device under deviceRoot (created if missing). Plug() makes it appear,
// Unplug() removes it again; the object starts plugged.
class SimUsbDevice : public SimPort {
public:
    virtual std::string DeviceRoot() const = 0;
    virtual void Plug() = 0;
    virtual void Unplug() = 0;
    virtual bool Plugged() const = 0;
};
std::unique_ptr<SimUsbDevice> CreateUsbDevice(const std::string& deviceRoot);
// The device root as CreateUsbDevice makes it: its parents as they come, the root itself
// private (mode 0700), as the program checks it before it takes the pipes there for the
// calculator. Throws std::runtime_error with the reason when it cannot be so.
void MakeDeviceRoot(const std::string& root);

} // namespace sim
