// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The USB reader: a thread that keeps one read of the device's read pipe outstanding
// and hands each chunk of up to 64 bytes to the reading side, which never waits more
// than 100 ms for one. It blocks in poll() on the pipe and on a wake-up descriptor, so
// it is woken and joined, never killed.
#include <atomic>
#include <cstdint>
#include <memory>

#include "util/HandOffSignal.h"

inline constexpr int UsbChunkSize = 64;

class UsbPipeReader {
public:
    // Starts the thread on pipe (which the caller keeps open and closes after Stop).
    explicit UsbPipeReader(int pipe);
    // Stops and joins the thread.
    ~UsbPipeReader();
    UsbPipeReader(const UsbPipeReader&) = delete;
    UsbPipeReader& operator=(const UsbPipeReader&) = delete;

    // One hand-off step: asks for a chunk unless one is asked for already, and waits up
    // to 100 ms for it. Returns the chunk's size (copied into out), or 0 when none came
    // in time; the request then stays outstanding, so no chunk is ever lost.
    uint32_t Pump(uint8_t (&out)[UsbChunkSize]);
    // Wakes the thread wherever it waits and joins it. Idempotent.
    void Stop();
    bool Running() const;

private:
    class Thread;
    std::unique_ptr<Thread> thread_;
    HandOffSignal request_;
    HandOffSignal done_;
    bool requestPending_ = false;
    uint8_t shared_[UsbChunkSize] = {};
    uint32_t sharedCount_ = 0;
};
