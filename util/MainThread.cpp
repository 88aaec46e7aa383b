#include "util/MainThread.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
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

void RunInMainThread(const std::function<void()>& fn)
{
    if (InMainThread()) {
        fn();
        return;
    }
    // The worker waits on a lock of its own, not on Qt's blocking call: the same
    // handover, but in the open, so that ThreadSanitizer sees the function's captures
    // go to the main thread and its results come back.
    struct Call {
        std::atomic<bool> handedOver{false};
        std::mutex lock;
        std::condition_variable ended;
        bool over = false;
        std::exception_ptr error;
    };
    const auto call = std::make_shared<Call>();
    const auto finish = [call] {
        const std::lock_guard hold(call->lock);
        call->over = true;
        call->ended.notify_one();
    };
    // Qt may drop the queued function unrun (the application ending): the worker is then
    // told when it is gone, and never waits for ever. Where the function's last copy goes
    // is Qt's affair (it may be this thread), so its end is told from inside it.
    std::shared_ptr<void> whenGone(nullptr, [finish](void*) { finish(); });
    // What the caller wrote so far goes with the call.
    call->handedOver.store(true, std::memory_order_release);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [call, finish, whenGone = std::move(whenGone), &fn] {
            (void)call->handedOver.load(std::memory_order_acquire);
            try {
                fn();
            } catch (...) {
                call->error = std::current_exception();
            }
            finish();
        },
        Qt::QueuedConnection);
    std::unique_lock hold(call->lock);
    call->ended.wait(hold, [&] { return call->over; });
    if (call->error) std::rethrow_exception(call->error);
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
