#include "mainwindow/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

QString SingleInstance::LockPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return dir + QLatin1Char('/') + QString::fromLatin1(StartupMutexName);
}

bool SingleInstance::Acquire()
{
    if (lock_ && lock_->isLocked()) return true;
    lock_ = std::make_unique<QLockFile>(LockPath());
    // Only a lock whose owner process is gone counts as stale, however old it is.
    lock_->setStaleLockTime(0);
    return lock_->tryLock(0);
}
