#include "util/MainThread.h"

#include <atomic>

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
    // The blocking call orders the two threads (what the caller did before, fn, what
    // it does after), but inside Qt, where ThreadSanitizer does not see it. The handoff
    // states the same order in code it sees, so that a sanitizer build reports only real
    // races; it costs two atomic operations a call.
    std::atomic<int> handoff{0};
    handoff.store(1, std::memory_order_release);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [&] {
            (void)handoff.load(std::memory_order_acquire);
            fn();
            handoff.store(2, std::memory_order_release);
        },
        Qt::BlockingQueuedConnection);
    (void)handoff.load(std::memory_order_acquire);
}

void ProcessPendingEvents()
{
    if (QCoreApplication::instance() && InMainThread()) QCoreApplication::processEvents();
}

void WaitServingCalls(QThread* thread)
{
    if (!thread) return;
    if (!InMainThread()) {
        thread->wait();
        return;
    }
    QEventLoop loop;
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    // The thread may have ended between the connect and here; isFinished covers it.
    if (thread->isFinished() || (!thread->isRunning() && !thread->isFinished())) return;
    loop.exec();
    thread->wait();
}
