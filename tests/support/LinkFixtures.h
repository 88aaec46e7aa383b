// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's link on the virtual calculator, for tests: a pseudo-terminal pair or a
// USB pipe device under a private device root. The link is closed when the object goes.
#include <chrono>
#include <memory>
#include <string>

#include <QTemporaryDir>

#include "link/Link.h"
#include "link/LinkErrors.h"
#include "tools/sim/SimPort.h"

// Milliseconds since a steady-clock time point, for the timing checks.
inline long MsSince(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since).count();
}

// How long a stop may take to end a write that waits for the calculator: one step of
// about 100 ms, with room for a busy machine; sanitizer builds run several times slower.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr long WriteStopBoundMs = 5000;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr long WriteStopBoundMs = 5000;
#else
inline constexpr long WriteStopBoundMs = 1500;
#endif
#else
inline constexpr long WriteStopBoundMs = 1500;
#endif

// A private device root exported as CALVYX_DEVICE_ROOT while the object lives.
class ScopedDeviceRoot {
public:
    ScopedDeviceRoot();
    ~ScopedDeviceRoot();
    ScopedDeviceRoot(const ScopedDeviceRoot&) = delete;
    ScopedDeviceRoot& operator=(const ScopedDeviceRoot&) = delete;
    std::string Path() const;

private:
    QTemporaryDir dir_;
    bool hadPrevious_ = false;
    std::string previous_;
};

// How a block write ended: "complete", or the kind of the LinkError it raised (err, when
// given, gets the error's errno).
inline std::string WriteBlockResult(Link& link, const char* data, std::size_t size, long stallMs, int* err = nullptr)
{
    try {
        link.WriteBlock(data, size, stallMs);
        return "complete";
    } catch (const LinkError& e) {
        if (err) *err = e.OsError();
        return LinkErrorKindName(e.Kind());
    }
}

class LinkOnSim {
public:
    LinkOnSim();
    ~LinkOnSim();
    // Creates the calculator's end and opens the link on it (which drains the input).
    sim::SimPort& OpenPty(int baud = 9600);
    sim::SimUsbDevice& OpenUsb();
    // The calculator's end without opening the link.
    sim::SimPort& CreatePty();
    sim::SimUsbDevice& CreateUsb();
    const ScopedDeviceRoot& Root() const { return root_; }
    // The program's side.
    Link& Program() { return program_; }

private:
    ScopedDeviceRoot root_;
    std::unique_ptr<sim::SimPort> pty_;
    std::unique_ptr<sim::SimUsbDevice> usb_;
    Link program_;
};
