// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/Serving.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

#include "util/MainThread.h"

bool RunWhileServing(const std::function<void()>& fn, int limitMs, const std::function<void()>& onTimeout)
{
    auto thread = std::make_unique<WorkerThread>(fn);
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    thread->start();
    limit.start(limitMs);
    if (!thread->isFinished()) loop.exec();
    const bool finished = thread->isFinished();
    if (!finished) {
        ADD_FAILURE() << "the calculator's script still ran after " << limitMs << " ms";
        if (onTimeout) onTimeout();
        QEventLoop rest;
        QObject::connect(thread.get(), &QThread::finished, &rest, &QEventLoop::quit, Qt::QueuedConnection);
        if (!thread->isFinished()) rest.exec();
    }
    thread->Join();
    return finished;
}

bool ServeUntil(const std::function<bool()>& pred, int limitMs)
{
    QEventLoop loop;
    QTimer poll;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    // The condition is set by another thread without an event of its own: look every
    // 10 ms while the loop serves the queued calls.
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (pred()) loop.quit();
    });
    if (pred()) return true;
    poll.start(10);
    limit.start(limitMs);
    loop.exec();
    return pred();
}
