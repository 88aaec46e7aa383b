// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A line held in memory, with a clock of its own: the program's side is a Link opened
// with Link::OpenMemory, the other side is played by code in the same thread (a fuzz
// target, a unit test). Nothing waits in real time: a read that finds no byte first lets
// the other side act (OnStarved) and, when it still finds none, moves the line's clock
// on by the read's whole time limit and returns empty at once. So an engine's time-outs,
// retries and pauses run as fast as its code, and the same input always gives the same
// run.
//
// Not for use from two threads: the engine and the other side take turns.
#include <cstdint>
#include <functional>

#include "util/ByteString.h"

class MemoryLine {
public:
    // Bytes the program wrote, in order.
    std::function<void(const ByteString&)> OnWritten;
    // The program waits for a byte and none is queued (never while it drains its input:
    // a drain throws away what comes, so the other side waits until it is over).
    std::function<void()> OnStarved;

    // Bytes for the program to read.
    void Queue(const ByteString& bytes) { input_.append(bytes); }
    // The other side hangs up: once the queue is empty, reads fail as on a line whose
    // device went away.
    void HangUp() { hungUp_ = true; }
    bool HungUp() const { return hungUp_; }
    bool Draining() const { return draining_; }
    std::size_t Queued() const { return input_.size() - at_; }

    // The line's clock, in milliseconds, as util/Ticks counts them.
    uint32_t Now() const { return now_; }
    void Advance(uint32_t ms) { now_ += ms; }
    void SetNow(uint32_t ms) { now_ = ms; }

    // Reads that found nothing so far: an engine that keeps reading a silent line for
    // ever is a hang the other side can notice.
    uint64_t EmptyReads() const { return emptyReads_; }

private:
    friend class MemoryBackend;
    std::size_t Take(unsigned char* buffer, std::size_t n);

    ByteString input_;
    std::size_t at_ = 0;
    uint32_t now_ = 0;
    uint64_t emptyReads_ = 0;
    bool hungUp_ = false;
    bool draining_ = false;
};
