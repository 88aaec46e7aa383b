// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/FolderWatch.h"

#include <QDir>
#include <QFile>

#ifdef __linux__
#include <QSocketNotifier>

#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>
#else
#include <QFileInfo>
#include <QFileSystemWatcher>

#include <utility>
#endif

FolderWatch::FolderWatch(QObject* parent) : QObject(parent)
{
    batch_.setSingleShot(true);
    batch_.setInterval(BatchMs);
    connect(&batch_, &QTimer::timeout, this, &FolderWatch::ReadBatch);
#ifdef __linux__
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ >= 0) {
        notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &FolderWatch::Arm);
    }
#else
    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this](const QString& folder) {
        pending_.insert(folder);
        Arm();
    });
#endif
}

FolderWatch::~FolderWatch()
{
#ifdef __linux__
    delete notifier_;
    if (fd_ >= 0) ::close(fd_);
#endif
}

void FolderWatch::Arm()
{
#ifdef __linux__
    // The events wait in the kernel's queue until the batch is read.
    notifier_->setEnabled(false);
#endif
    if (!batch_.isActive()) batch_.start();
}

#ifdef __linux__

QSet<QString> FolderWatch::Folders() const
{
    const QList<QString> folders = byFolder_.keys();
    return {folders.begin(), folders.end()};
}

void FolderWatch::SetFolders(const QSet<QString>& folders)
{
    if (fd_ < 0) return;
    for (const QString& folder : Folders()) {
        if (folders.contains(folder)) continue;
        const int wd = byFolder_.take(folder);
        byWatch_.remove(wd);
        ::inotify_rm_watch(fd_, wd);
    }
    constexpr uint32_t mask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    for (const QString& folder : folders) {
        if (byFolder_.contains(folder)) continue;
        const int wd = ::inotify_add_watch(fd_, QFile::encodeName(folder).constData(), mask);
        if (wd < 0) continue; // gone already, or not readable: nothing of it is shown either
        byWatch_.insert(wd, folder);
        byFolder_.insert(folder, wd);
    }
}

void FolderWatch::ReadBatch()
{
    QSet<QString> changed;
    bool any = false;
    alignas(inotify_event) char buffer[16 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // EAGAIN: the queue is empty
        any = true;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                // Events were lost: any folder may have changed.
                for (const QString& folder : byWatch_) changed.insert(folder);
                continue;
            }
            const auto it = byWatch_.constFind(event->wd);
            if (it == byWatch_.constEnd()) continue;
            const bool subfolder =
                (event->mask & IN_ISDIR) && (event->mask & (IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO));
            if (subfolder || (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF))) changed.insert(*it);
            if (event->mask & IN_IGNORED) {
                // The kernel dropped the watch (the folder is gone).
                byFolder_.remove(*it);
                byWatch_.erase(it);
            }
        }
    }
    // Events came: the next batch is read on the beat; a quiet beat hands back to the
    // kernel's wake-up.
    if (any)
        batch_.start();
    else
        notifier_->setEnabled(true);
    for (const QString& folder : changed) emit SubfoldersChanged(folder);
}

#else

QStringList FolderWatch::Subfolders(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

QSet<QString> FolderWatch::Folders() const
{
    const QStringList folders = watcher_->directories();
    return {folders.begin(), folders.end()};
}

void FolderWatch::SetFolders(const QSet<QString>& folders)
{
    for (const QString& folder : Folders())
        if (!folders.contains(folder)) {
            watcher_->removePath(folder);
            known_.remove(folder);
        }
    for (const QString& folder : folders)
        if (!known_.contains(folder)) {
            known_.insert(folder, Subfolders(folder));
            watcher_->addPath(folder);
        }
}

void FolderWatch::ReadBatch()
{
    const QSet<QString> pending = std::exchange(pending_, {});
    for (const QString& folder : pending) {
        if (!known_.contains(folder)) continue;
        QStringList now = Subfolders(folder);
        if (now == known_.value(folder) && QFileInfo::exists(folder)) continue;
        known_.insert(folder, std::move(now));
        emit SubfoldersChanged(folder);
    }
}

#endif
