// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A signal that hands work from one thread to another: Set wakes one waiter, or the next
// one to wait when nobody waits; a successful wait clears it again. The USB reader's
// request/done hand-off uses two.
#include <chrono>
#include <condition_variable>
#include <mutex>

class HandOffSignal {
public:
    void Set()
    {
        {
            std::lock_guard lock(mutex_);
            signalled_ = true;
        }
        cv_.notify_one();
    }
    void Reset()
    {
        std::lock_guard lock(mutex_);
        signalled_ = false;
    }
    // Waits without a time limit; whoever may block here must have a way to Set it.
    void Wait()
    {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [this] { return signalled_; });
        signalled_ = false;
    }
    // True when the event was set within ms milliseconds (it is then cleared).
    bool WaitFor(int ms)
    {
        std::unique_lock lock(mutex_);
        if (!cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return signalled_; })) return false;
        signalled_ = false;
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool signalled_ = false;
};
