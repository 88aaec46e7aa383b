// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How worker threads reach the windows: a synchronised call runs a function in the
// main (GUI) thread while the worker waits for it to finish. The main thread's waits
// for a transfer thread keep serving those calls.
#include <atomic>
#include <functional>

#include <QDeadlineTimer>
#include <QThread>

// True in the thread that owns the QCoreApplication (or when there is none).
bool InMainThread();

// Runs fn in the main thread and returns when it has run. Called in the main thread,
// it simply calls fn. Without an application object it calls fn in place.
void RunInMainThread(const std::function<void()>& fn);

// Lets the user interface process its pending events; does nothing outside the main
// thread, where synchronised calls keep the windows responsive instead.
void ProcessPendingEvents();

// A thread for a transfer or a reader: its work is Work() (or the function it was made
// with), and its end is published, so that whoever waited for it in WaitServingCalls or
// Join sees everything the work wrote. Qt's own wait orders that too, but inside Qt,
// where ThreadSanitizer cannot see it and would call every later read a race.
class WorkerThread : public QThread {
public:
    explicit WorkerThread(std::function<void()> work = {}) : work_(std::move(work)) {}

    // Waits until the thread has ended (at once when it never started); false when the
    // deadline came first.
    bool Join(QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever));

protected:
    virtual void Work()
    {
        if (work_) work_();
    }

private:
    void run() final;

    std::function<void()> work_;
    std::atomic<bool> ended_{false};
};

// Main thread: waits until thread has finished while still running the synchronised
// calls and events it posts. Returns at once when the thread is not running. In another
// thread it simply joins it.
void WaitServingCalls(WorkerThread* thread);
