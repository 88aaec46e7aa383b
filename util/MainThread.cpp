// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/MainThread.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>

bool InMainThread()
{
    auto* app = QCoreApplication::instance();
    return app == nullptr || QThread::currentThread() == app->thread();
}

namespace {

// A function a worker waits to see run in the main thread. The worker keeps it on its
// stack until the main thread says it is over.
struct PendingCall {
    explicit PendingCall(const std::function<void()>& function) : fn(function) {}
    const std::function<void()>& fn;
    std::mutex lock;
    std::condition_variable ended;
    bool over = false;
    std::exception_ptr error;
};

// The calls go to the main thread through this queue, under a lock of our own, and not
// as data inside Qt's queued event: Qt is not built with ThreadSanitizer, so anything
// handed over inside its events (the blocking queued call included) looked like a race to
// it, hundreds of reports that would hide a real one. The event itself carries nothing.
std::mutex pendingLock;
std::deque<PendingCall*> pending;

void RunPendingCalls()
{
    for (;;) {
        PendingCall* call = nullptr;
        {
            const std::lock_guard hold(pendingLock);
            if (pending.empty()) return;
            call = pending.front();
            pending.pop_front();
        }
        try {
            call->fn();
        } catch (...) {
            call->error = std::current_exception();
        }
        const std::lock_guard hold(call->lock);
        call->over = true;
        call->ended.notify_one();
    }
}

} // namespace

void RunInMainThread(const std::function<void()>& fn)
{
    if (InMainThread()) {
        fn();
        return;
    }
    PendingCall call(fn);
    {
        const std::lock_guard hold(pendingLock);
        pending.push_back(&call);
    }
    // Qt drops a posted event unrun only with the application object, which outlives
    // every transfer thread (their owners join them first).
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { RunPendingCalls(); }, Qt::QueuedConnection);
    std::unique_lock hold(call.lock);
    call.ended.wait(hold, [&] { return call.over; });
    if (call.error) std::rethrow_exception(call.error);
}

void ProcessPendingEvents()
{
    if (QCoreApplication::instance() && InMainThread()) QCoreApplication::processEvents();
}

void WorkerThread::run()
{
    Work();
    ended_.store(true, std::memory_order_release);
}

bool WorkerThread::Join(QDeadlineTimer deadline)
{
    if (!wait(deadline)) return false;
    (void)ended_.load(std::memory_order_acquire);
    return true;
}

void WaitServingCalls(WorkerThread* thread)
{
    if (!thread) return;
    if (!InMainThread()) {
        thread->Join();
        return;
    }
    QEventLoop loop;
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    // The thread may have ended between the connect and here; isFinished covers it.
    if (!thread->isFinished() && thread->isRunning()) loop.exec();
    thread->Join();
}
