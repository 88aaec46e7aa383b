// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The end of an operation that a watchdog thread waits for: the watchdog steps in only
// when the end has not come within its limit, and leaves as soon as it comes.
#include <chrono>
#include <condition_variable>
#include <mutex>

class Watchdog {
public:
    void Done()
    {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        changed_.notify_all();
    }
    // True when Done came within limit.
    bool WaitFor(std::chrono::milliseconds limit)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [this] { return done_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool done_ = false;
};
