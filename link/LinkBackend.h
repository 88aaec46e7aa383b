// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One kind of connection behind Link: the serial line and the USB pipe device today,
// room for a third. A backend is made by Link::Open on an opened device and destroyed
// by Link::Close; it raises LinkError where the link's operations say so.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "link/LinkIo.h"

// A stop request that a write watches while it waits (Link::StopWrites): the flag for
// a wait on a condition, the descriptor (readable while the flag is set, -1 when there
// is none) for poll().
struct WriteStop {
    const std::atomic<bool>& requested;
    int fd;
};

class LinkBackend {
public:
    virtual ~LinkBackend() = default;

    // Up to n bytes within timeoutMs (see Link::Read); cancel ends a USB wait early.
    virtual std::size_t Read(unsigned char* buffer, std::size_t n, int timeoutMs, const std::atomic<bool>& cancel) = 0;
    // As Read, waiting no longer than maxWaitMs whatever the line's own limits are.
    virtual std::size_t ReadWithin(unsigned char* buffer, std::size_t n, int maxWaitMs, const std::atomic<bool>& cancel)
    {
        return Read(buffer, n, maxWaitMs, cancel);
    }
    // stallMs < 0: the backend's own limits. A write that waits for the device ends
    // within about 100 ms of a stop (WriteOutcome::Stopped); one that does not wait is
    // not cut short.
    virtual linkio::WriteOutcome Write(const char* data, std::size_t n, long stallMs, const WriteStop& stop) = 0;

    // How ClearInput drains this kind of line: rounds of size bytes, each read with
    // timeoutMs, until `rounds` quiet ones came in a row; BeforeDrainRound runs before
    // each round and EndDrain once after the last.
    struct DrainPlan {
        int rounds;
        std::size_t size;
        int timeoutMs;
    };
    virtual DrainPlan Drain() const = 0;
    virtual void BeginDrain() {}
    virtual void BeforeDrainRound() {}
    virtual void EndDrain() {}

    // The line's clock (util/Ticks for a real line) and a pause on it.
    virtual uint32_t Now() const;
    virtual void Pause(int ms, const std::atomic<bool>& cancel);

    virtual std::size_t BufferedBytes() const { return 0; }
    virtual bool ReaderRunning() const { return false; }
    virtual void RestartIdleClock() {}
    // False once the device this backend opened has gone, even when one of the same
    // name is back: a calculator replugged faster than the poll's quiet time.
    virtual bool StillAttached() const { return true; }
};
