// SPDX-License-Identifier: GPL-3.0-or-later
// The folders: the tree whose selection is the transfer folder, the list of its
// contents, the new, delete and rename commands, and the recent folders of the File menu.
#include "mainwindow/MainWindow.h"

#include <algorithm>
#include <functional>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QProgressDialog>
#include <QSet>
#include <QSplitter>
#include <QStandardPaths>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include "link/Trace.h"
#include "mainwindow/FolderNames.h"
#include "mainwindow/FolderWatch.h"
#include "mainwindow/MainWindowParts.h"
#include "services/TransferServer.h"
#include "util/CalvyxError.h"
#include "util/MainThread.h"
#include "util/StringTable.h"
#include "util/Utils.h"

using namespace MainWindowParts;

namespace {

constexpr const char* FolderMissingStart = QT_TRANSLATE_NOOP("MainWindow", "Error, the folder \"");     // 65243
constexpr const char* FolderMissingEnd = QT_TRANSLATE_NOOP("MainWindow", "\" does not exist.");         // 65244
constexpr const char* SettingPathError = QT_TRANSLATE_NOOP("MainWindow", "Error setting path: \"%1\""); // 65301

// The progress dialog shows a per mille of the bytes: the sizes do not fit an int.
constexpr int ProgressSteps = 1000;
constexpr int ProgressUpdateMs = 100;
// Small copies end before the dialog would be seen.
constexpr int ProgressShowAfterMs = 300;
// The window's end waits this long for a cancelled copy to reach its next chunk.
constexpr int CopyStopWaitMs = 30000;

// A renamed item keeps its old place among its siblings until the model sorts again;
// the model sorts again only for another column (a new order alone reverses the rows),
// so it sorts by the next column first. After the rename has returned: the sort moves
// the rows the rename is still working on.
void SortAgain(QFileSystemModel* model, int column, Qt::SortOrder order)
{
    QTimer::singleShot(0, model, [model, column, order] {
        model->sort((column + 1) % model->columnCount(), order);
        model->sort(column, order);
    });
}

} // namespace

QString MainWindow::PathOf(const QTreeView* view, const QModelIndex& index) const
{
    if (!index.isValid()) return {};
    return static_cast<const QFileSystemModel*>(view->model())->filePath(index);
}

int MainWindow::TreeWidth() const
{
    return folderSplitter->isHidden() ? treeWidth_ : folderSplitter->sizes().value(0, treeWidth_);
}

QString MainWindow::TreePath() const { return PathOf(folderTree, folderTree->currentIndex()); }

void MainWindow::SetTreePath(const QString& path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    if (path.isEmpty() || !QFileInfo(clean).isDir()) throw CalvyxError(S(tr(SettingPathError).arg(path)));
    const QModelIndex index = treeModel_->index(clean);
    if (!index.isValid()) throw CalvyxError(S(tr(SettingPathError).arg(path)));
    folderTree->setCurrentIndex(index);
    folderTree->scrollTo(index);
    folderTree->expand(index);
}

void MainWindow::FolderChanged()
{
    const QString path = TreePath();
    if (path.isEmpty()) return;
    pickedPath_ = path;
    Trace("Path Change = " + S(path));
    listModel_->setRootPath(path);
    fileList->setRootIndex(listModel_->index(path));
    // Only a local folder is made the transfer folder.
    if (QDir::isAbsolutePath(path) && session_) session_->SetFolder(S(path));
}

void MainWindow::ListPicked()
{
    const QModelIndex index = fileList->currentIndex();
    if (index.isValid() && fileList->selectionModel()->isSelected(index)) pickedPath_ = PathOf(fileList, index);
}

void MainWindow::StartEditing(QTreeView* view, const QModelIndex& index)
{
    if (!index.isValid()) return;
    view->setFocus();
    view->setCurrentIndex(index);
    view->edit(index);
}

void MainWindow::NewFolder()
{
    if (folderTree->Editing()) return;
    folderTree->setFocus();
    const QString folder = NextNewFolderPath(TreePath());
    if (folder.isEmpty()) return;
    QDir().mkdir(folder); // a failure shows when the tree cannot go there
    ProcessPendingEvents();
    SetTreePath(folder);
    StartEditing(folderTree, folderTree->currentIndex());
}

bool MainWindow::MoveToTrash(const QString& path)
{
    if (path.isEmpty()) return false;
    if (!dialogs_->Confirm(tr("Move \"%1\" to the trash?").arg(QDir::toNativeSeparators(path)), tr("Deleting Files")))
        return false;
    // The trash lives under the user's data folder, which must exist for it to work.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    // The move itself gives no reason a user could act on, so the likely ones are
    // checked first.
    const QFileInfo info(path);
    QString reason;
    if (!info.exists() && !info.isSymLink()) {
        reason = tr("it no longer exists");
    } else if (!QFileInfo(info.absolutePath()).isWritable()) {
        reason = tr("no permission to remove it from \"%1\"").arg(QDir::toNativeSeparators(info.absolutePath()));
    } else {
        QFile file(path);
        if (file.moveToTrash()) return true;
        reason = file.errorString().isEmpty() ? tr("the system refused the move") : file.errorString();
    }
    dialogs_->ShowMessage(tr("\"%1\" could not be moved to the trash (%2); nothing was deleted.").arg(path, reason),
                          tr("Deleting Files"), true);
    return false;
}

void MainWindow::DeletePicked()
{
    const QModelIndex node = folderTree->currentIndex();
    if (!node.isValid() || !node.parent().isValid()) return;
    // Nothing deleted (declined or failed): the selection, and so the transfer
    // folder, stays where it is.
    const QString deleted = pickedPath_;
    if (!MoveToTrash(deleted)) return;
    // A list item is gone from the folder the tree shows, which stays.
    if (deleted != TreePath()) {
        pickedPath_ = TreePath();
        return;
    }
    const QModelIndex parentNode = node.parent();
    folderTree->setCurrentIndex(parentNode);
    ProcessPendingEvents();
}

void MainWindow::RenamePicked()
{
    const QString treePath = TreePath();
    if (treePath != pickedPath_) {
        // The last pick was an item of the list.
        const QModelIndex item = fileList->currentIndex();
        if (item.isValid()) StartEditing(fileList, item);
        return;
    }
    const QModelIndex node = folderTree->currentIndex();
    if (node.isValid() && node.parent().isValid()) StartEditing(folderTree, node);
}

void MainWindow::FolderRenamed(const QString& folder)
{
    // A renamed folder no longer exists under its old path: its parent becomes the
    // current and transfer folder, collapsed so that the tree shows the new order.
    const QModelIndex parentNode = treeModel_->index(folder);
    if (!parentNode.isValid()) return;
    folderTree->setCurrentIndex(parentNode);
    folderTree->collapse(parentNode);
    folderTree->viewport()->update();
    SortAgain(treeModel_, 0, Qt::AscendingOrder);
    ProcessPendingEvents();
}

void MainWindow::WatchShownFolders()
{
    QSet<QString> shown;
    const std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
        for (int row = 0; row < treeModel_->rowCount(parent); ++row) {
            const QModelIndex child = treeModel_->index(row, 0, parent);
            if (!folderTree->isExpanded(child)) continue;
            shown.insert(treeModel_->filePath(child));
            walk(child);
        }
    };
    walk(folderTree->rootIndex());
    folderWatch_->SetFolders(shown);
}

void MainWindow::ShownFolderChanged(const QString& folder)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 lastUpdate = updated_.value(folder, now - FolderUpdateEveryMs);
    if (now - lastUpdate < FolderUpdateEveryMs) {
        if (!updateDue_.contains(folder)) {
            updateDue_.insert(folder);
            QTimer::singleShot(static_cast<int>(FolderUpdateEveryMs - (now - lastUpdate)), this, [this, folder] {
                updateDue_.remove(folder);
                Guarded([this, folder] { ShownFolderChanged(folder); });
            });
        }
        return;
    }
    updated_.insert(folder, now);
    const QModelIndex node = treeModel_->index(folder);
    if (!node.isValid() || !QFileInfo(folder).isDir()) {
        // Gone: its parent, watched as well, shows that.
        WatchShownFolders();
        return;
    }
    // The model's filter: folders, hidden ones not.
    QStringList onDisk = QDir(folder).entryList(QDir::AllDirs | QDir::NoDotAndDotDot);
    QStringList shown;
    for (int row = 0; row < treeModel_->rowCount(node); ++row) shown << treeModel_->fileName(treeModel_->index(row, 0, node));
    bool gone = false;
    for (const QString& name : shown) gone = gone || !onDisk.contains(name);
    // A new folder is brought in by asking for it; it comes in last, so the tree sorts again.
    bool added = false;
    for (const QString& name : onDisk) {
        if (shown.contains(name)) continue;
        treeModel_->index(QDir(folder).filePath(name));
        added = true;
    }
    if (added) SortAgain(treeModel_, 0, Qt::AscendingOrder);
    if (gone) {
        // Listing a folder again costs a look at each of its entries, files too: a folder
        // whose subfolders keep coming and going is listed at most every RelistEveryMs.
        const qint64 last = relisted_.value(folder, now - RelistEveryMs);
        if (now - last >= RelistEveryMs) {
            RelistTreeFolder(folder);
        } else if (!relistDue_.contains(folder)) {
            relistDue_.insert(folder);
            QTimer::singleShot(static_cast<int>(RelistEveryMs - (now - last)), this, [this, folder] {
                relistDue_.remove(folder);
                Guarded([this, folder] { RelistTreeFolder(folder); });
            });
        }
    }
    WatchShownFolders();
}

void MainWindow::RelistTreeFolder(const QString& folder)
{
    if (!treeModel_->index(folder).isValid()) return;
    relisted_.insert(folder, QDateTime::currentMSecsSinceEpoch());
    // A folder that went is left in the model until the folder is listed again: its
    // listing is marked out of date by moving the model's root away and back, then
    // asked for.
    const QString root = treeModel_->rootPath();
    treeModel_->setRootPath(folder == root ? QDir::homePath() : folder);
    treeModel_->setRootPath(root);
    treeModel_->fetchMore(treeModel_->index(folder));
}

void MainWindow::ListItemRenamed(const QString& folder, const QString& oldName, const QString& newName)
{
    // The pick names the item by its path: a renamed item is picked under its new name.
    if (pickedPath_ == QDir(folder).filePath(oldName)) pickedPath_ = QDir(folder).filePath(newName);
    SortAgain(listModel_, fileList->header()->sortIndicatorSection(), fileList->header()->sortIndicatorOrder());
}

void MainWindow::OpenRecentFolder(int slot)
{
    const QString folder = recentFolders_[slot - 1];
    if (folder.isEmpty()) return;
    if (DirExists(S(folder))) {
        OpenFolder(folder);
        return;
    }
    dialogs_->ShowMessage(tr(FolderMissingStart) + folder + tr(FolderMissingEnd), TranslatedText(Str::Error), true);
    recentFolders_[slot - 1].clear();
    UpdateControls();
}

void MainWindow::NormalizeRecent(bool enableItems)
{
    NormalizeRecentSlots(recentFolders_);
    recentFoldersSeparator->setVisible(false);
    for (int n = 1; n <= RecentSlotCount; ++n) {
        QAction* item = recentFolderItems[n - 1];
        item->setEnabled(enableItems);
        item->setText(RecentCaption(n, recentFolders_[n - 1]));
        const bool used = !recentFolders_[n - 1].isEmpty();
        item->setVisible(used);
        if (used) recentFoldersSeparator->setVisible(true);
    }
}

void MainWindow::AddRecentFolder(bool enableItems)
{
    AddRecentFolderSlots(recentFolders_, Q(Server().Folder()));
    NormalizeRecent(enableItems);
}

void MainWindow::OpenListItem(const QModelIndex& index)
{
    if (!index.isValid() || !listModel_->isDir(index)) return;
    OpenFolder(listModel_->filePath(index));
}

void MainWindow::OpenFolder(const QString& path)
{
    SetTreePath(path);
    AddToRecent(TreePath());
}

void MainWindow::AddToRecent(const QString& folder)
{
    if (folder.isEmpty()) return;
    AddRecentFolderSlots(recentFolders_, folder);
    NormalizeRecent(ControlsFor(connState_, connectionBox->currentIndex() == 0).recentEnabled);
}

bool MainWindow::ListKey(const QKeyEvent& key)
{
    switch (key.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Tab: // the keyboard leaves the list
    case Qt::Key_Backtab:
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        OpenListItem(fileList->currentIndex());
        return false;
    case Qt::Key_F2:
    case Qt::Key_Delete: {
        const QModelIndex item = fileList->currentIndex();
        if (!item.isValid() || !fileList->selectionModel()->isSelected(item) || !renameAction->isEnabled()) return false;
        pickedPath_ = PathOf(fileList, item);
        if (key.key() == Qt::Key_F2)
            RenamePicked();
        else
            DeletePicked();
        return false;
    }
    default:
        return false;
    }
}

QMenu* MainWindow::FolderMenu(ShellView* view, const QPoint& pos)
{
    const QModelIndex item = view->indexAt(pos);
    const bool inTree = view == folderTree;
    if (item.isValid()) {
        // The item under the pointer is what the commands act on.
        view->setCurrentIndex(item);
        if (!inTree) pickedPath_ = PathOf(fileList, item);
    }
    const QString path = item.isValid() ? PathOf(view, item) : (inTree ? QString() : listModel_->rootPath());
    const bool isFolder = item.isValid() && QFileInfo(path).isDir();
    const bool commands = newFolderAction->isEnabled();
    const bool renamable = item.isValid() && commands && (!inTree || item.parent().isValid());

    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("folderMenu"));
    auto add = [this, menu](const char* name, const QString& text, bool enabled, std::function<void()> handler) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, [this, handler] { Guarded(handler); });
    };
    add("openFolderItem", tr("&Open folder"), isFolder, [this, path] { OpenFolder(path); });
    menu->addSeparator();
    // The keys of the views beside the items, as in the File menu.
    add("renameItem", renameAction->text(), renamable, [this, path] {
        pickedPath_ = path;
        RenamePicked();
    });
    add("deleteItem", deleteAction->text(), renamable, [this, path] {
        pickedPath_ = path;
        DeletePicked();
    });
    add("newFolderItem", tr("&New Folder") + QLatin1Char('\t') + newFolderAction->shortcut().toString(QKeySequence::NativeText),
        commands, [this] { NewFolder(); });
    menu->addSeparator();
    add("copyPathItem", tr("&Copy path"), !path.isEmpty(),
        [path] { QApplication::clipboard()->setText(QDir::toNativeSeparators(path)); });
    add("showInFileManagerItem", tr("&Show in file manager"), !path.isEmpty(), [this, path] {
        // A folder opens itself; a file opens the folder that holds it.
        const QFileInfo info(path);
        const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
            dialogs_->ShowMessage(tr("No file manager could be started for \"%1\".").arg(QDir::toNativeSeparators(folder)),
                                  Q(Str::Error), true);
    });
    return menu;
}

void MainWindow::ShowFolderMenu(ShellView* view, const QPoint& pos)
{
    QMenu* menu = FolderMenu(view, pos);
    menu->exec(view->viewport()->mapToGlobal(pos));
    menu->deleteLater();
}

void MainWindow::CopyFilesInto(const QStringList& files, const QString& folder)
{
    const QString shownFolder = QDir::toNativeSeparators(folder);
    const QString caption = tr("Copying Files");
    std::vector<FileCopyBatch::Item> items;
    QStringList problems;
    for (const QString& source : files) {
        const QFileInfo from(source);
        const QString name = from.fileName();
        const QFileInfo to(QDir(folder).filePath(name));
        // Only what is plainly no file is turned away here; the copy judges each
        // source again by what it opens.
        if (from.isDir()) {
            problems << tr("\"%1\": folders are not copied").arg(name);
            continue;
        }
        if (to.exists() || to.isSymLink()) {
            // A link of that name is replaced itself, so only the file itself counts as
            // already being here.
            if (!to.isSymLink() && to.canonicalFilePath() == from.canonicalFilePath()) {
                problems << tr("\"%1\": it is already in this folder").arg(name);
                continue;
            }
            if (to.isDir() && !to.isSymLink()) {
                problems << tr("\"%1\": a folder of that name is in the way").arg(name);
                continue;
            }
            if (!dialogs_->Confirm(
                    tr("\"%1\" already exists in \"%2\". Replace it with the file dropped here?").arg(name, shownFolder),
                    caption))
                continue;
        }
        items.push_back({QFile::encodeName(source).toStdString(), QFile::encodeName(folder).toStdString(),
                         QFile::encodeName(name).toStdString()});
    }
    if (items.empty()) {
        if (!problems.isEmpty())
            TellOutcome(tr("Not copied to \"%1\":\n%2").arg(shownFolder, problems.join(QLatin1Char('\n'))), caption, true);
        return;
    }
    StartCopy(std::move(items), folder, problems);
}

void MainWindow::StartCopy(std::vector<FileCopyBatch::Item> items, const QString& folder, const QStringList& problems)
{
    auto owned = std::make_unique<FileCopyBatch>(std::move(items), copyChunkCopied);
    // The window's end may have ended and deleted the batch before its last signals
    // and ticks arrive.
    const QPointer<FileCopyBatch> batch = owned.get();
    copies_.push_back(std::move(owned));

    auto* progress = new QProgressDialog(this);
    progress->setWindowTitle(tr("Copying Files"));
    progress->setWindowModality(Qt::WindowModal);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setRange(0, ProgressSteps);
    progress->setMinimumDuration(ProgressShowAfterMs);
    const auto update = [batch, progress] {
        if (!batch) return;
        const std::size_t index = std::min(batch->Current(), batch->Items().size() - 1);
        progress->setLabelText(QFile::decodeName(batch->Items()[index].name.c_str()));
        const std::uint64_t total = batch->BytesTotal();
        const std::uint64_t copied = std::min(batch->BytesCopied(), total);
        progress->setValue(total == 0 ? 0 : static_cast<int>(copied * ProgressSteps / total));
    };
    update();
    auto* ticker = new QTimer(progress);
    connect(ticker, &QTimer::timeout, progress, update);
    ticker->start(ProgressUpdateMs);
    // Cancel, Escape and closing the dialog all end the copy at its next chunk (the
    // dialog hides itself at once).
    connect(progress, &QProgressDialog::canceled, progress, [batch, ticker] {
        if (batch) batch->Cancel();
        ticker->stop();
    });
    // The dialog and its ticker go before the batch they read.
    connect(batch, &QThread::finished, this, [this, batch, progress, folder, problems] {
        delete progress;
        if (batch) Guarded([&] { CopyEnded(batch, folder, problems); });
    });
    batch->start();
}

void MainWindow::CopyEnded(FileCopyBatch* batch, const QString& folder, QStringList problems)
{
    const auto found = std::find_if(copies_.begin(), copies_.end(), [batch](const auto& copy) { return copy.get() == batch; });
    if (found == copies_.end()) return; // already ended by StopCopies
    std::unique_ptr<FileCopyBatch> owned = std::move(*found);
    copies_.erase(found);
    owned->Join();

    const QString shownFolder = QDir::toNativeSeparators(folder);
    int copied = 0;
    bool cancelled = false;
    for (std::size_t i = 0; i < owned->Items().size(); ++i) {
        const QString name = QFile::decodeName(owned->Items()[i].name.c_str());
        const FileCopyOutcome& outcome = owned->Outcomes()[i];
        switch (outcome.kind) {
        case FileCopyOutcome::Kind::Copied:
            ++copied;
            break;
        case FileCopyOutcome::Kind::Cancelled:
            cancelled = true;
            break;
        case FileCopyOutcome::Kind::Folder:
            problems << tr("\"%1\": folders are not copied").arg(name);
            break;
        case FileCopyOutcome::Kind::NotAFile:
            problems << tr("\"%1\": not a file that can be copied").arg(name);
            break;
        case FileCopyOutcome::Kind::Failed:
            problems << tr("\"%1\": %2").arg(name, qt_error_string(outcome.error));
            break;
        }
    }
    if (cancelled) {
        const QString text = tr("Copying to %1 cancelled; %n file(s) copied", nullptr, copied).arg(shownFolder);
        statusPanel->setText(text);
        AppendToLog(text);
    } else if (copied > 0) {
        statusPanel->setText(tr("Copied %n file(s) to %1", nullptr, copied).arg(shownFolder));
    }
    if (!problems.isEmpty())
        TellOutcome(tr("Not copied to \"%1\":\n%2").arg(shownFolder, problems.join(QLatin1Char('\n'))), tr("Copying Files"),
                    true);
}

void MainWindow::StopCopies()
{
    for (auto& copy : copies_) copy->Cancel();
    for (auto& copy : copies_) {
        // A copy stuck in the file system beyond the wait is left to end by itself:
        // a running thread's object must not be destroyed.
        if (!copy->Join(QDeadlineTimer(CopyStopWaitMs))) (void)copy.release();
    }
    copies_.clear();
}

void MainWindow::OpenParentFolder()
{
    QDir folder(TreePath());
    if (TreePath().isEmpty() || !folder.cdUp()) return; // at the top already
    OpenFolder(folder.absolutePath());
}
