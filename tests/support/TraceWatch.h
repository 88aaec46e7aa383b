// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Collects the trace lines of the code under test (from any thread) for the life of
// the object, so a test can wait, bounded, until the code has reached a given step.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

class TraceWatch {
public:
    TraceWatch();
    ~TraceWatch();
    TraceWatch(const TraceWatch&) = delete;
    TraceWatch& operator=(const TraceWatch&) = delete;

    // Waits until `count` lines equal to line have been traced; false on time-out.
    bool WaitFor(const std::string& line, int count, std::chrono::milliseconds limit);
    int Count(const std::string& line) const;
    // Lines that begin with prefix, in order.
    std::vector<std::string> StartingWith(const std::string& prefix) const;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
};
