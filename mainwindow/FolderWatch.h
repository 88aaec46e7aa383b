// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Watches folders for a change among their subfolders only: one made, removed or
// renamed. The folder tree shows nothing else of a folder, so a file written, made or
// removed there (a download, a compiler's temporary files in /tmp) must not wake the
// window. On Linux the kernel says whether an entry is a folder (inotify), and the
// events are read in batches: the first one of a burst arms a short timer, and while
// events keep coming they are read on that timer's beat alone, so a folder written to
// all the time costs two wake-ups a second, and a quiet one none.
// Elsewhere a folder's change makes it list its subfolders, in the same batches, and
// only a different list counts.
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

class QFileSystemWatcher;
class QSocketNotifier;

class FolderWatch : public QObject {
    Q_OBJECT
public:
    // How long the events of a burst are gathered before they are looked at.
    static constexpr int BatchMs = 500;

    explicit FolderWatch(QObject* parent = nullptr);
    ~FolderWatch() override;

    // Watches exactly these folders from now on (absolute, clean paths).
    void SetFolders(const QSet<QString>& folders);
    QSet<QString> Folders() const;

signals:
    // The subfolders of folder changed (or folder itself went away), once per batch.
    void SubfoldersChanged(const QString& folder);

private:
    void Arm();
    void ReadBatch();

    QTimer batch_;
#ifdef __linux__
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QHash<int, QString> byWatch_;  // watch descriptor -> folder
    QHash<QString, int> byFolder_; // folder -> watch descriptor
#else
    static QStringList Subfolders(const QString& folder);
    QFileSystemWatcher* watcher_ = nullptr;
    QHash<QString, QStringList> known_; // folder -> its subfolders when last looked at
    QSet<QString> pending_;
#endif
};
