// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/services/TransferFixture.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include "util/Utils.h"

namespace testing_services {

bool WaitForThread(WorkerThread* thread, int timeoutMs)
{
    if (thread->isFinished()) return true;
    QEventLoop loop;
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!thread->isFinished()) loop.exec();
    // finished is emitted just before the thread is marked finished.
    return thread->Join(QDeadlineTimer(2000));
}

void TransferTest::SetUp() { ASSERT_TRUE(dir.isValid()); }

void TransferTest::UseUsb()
{
    usb = &link.CreateUsb();
    calc = usb;
}

void TransferTest::UsePty()
{
    calc = &link.CreatePty();
    usb = nullptr;
}

void TransferTest::OpenProgramSide() { link.Program().Open(ProgramPortName(), LinkBaud); }

std::string TransferTest::WriteTempFile(const std::string& name, const ByteString& data) const
{
    const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
    WriteStringToFile(data, path);
    return path;
}

} // namespace testing_services
