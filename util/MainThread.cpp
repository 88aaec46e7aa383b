#include "util/MainThread.h"

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
    QMetaObject::invokeMethod(QCoreApplication::instance(), fn, Qt::BlockingQueuedConnection);
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
