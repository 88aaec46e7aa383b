// The folders: the tree whose selection is the transfer folder, the list of its
// contents, the new, delete and rename commands, and the recent folders of the File menu.
#include "mainwindow/MainWindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QSplitter>
#include <QStandardPaths>
#include <QTreeView>

#include "link/Trace.h"
#include "mainwindow/FolderNames.h"
#include "mainwindow/MainWindowParts.h"
#include "services/TransferServer.h"
#include "util/GeneralError.h"
#include "util/MainThread.h"
#include "util/StringTable.h"
#include "util/Utils.h"

using namespace MainWindowParts;

namespace {

constexpr const char* FolderMissingStart = QT_TRANSLATE_NOOP("MainWindow", "Error, the folder \""); // 65243
constexpr const char* FolderMissingEnd = QT_TRANSLATE_NOOP("MainWindow", "\" does not exist.");     // 65244
constexpr const char* SettingPathError = QT_TRANSLATE_NOOP("MainWindow", "Error setting path: \"%1\""); // 65301

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
    if (QDir::isAbsolutePath(path) && server_) server_->SetFolder(S(path));
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
    if (!dialogs_->Confirm(tr("Move \"%1\" to the trash?").arg(QDir::toNativeSeparators(path)),
                           tr("Deleting Files")))
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
    if (!MoveToTrash(pickedPath_)) return;
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
    ProcessPendingEvents();
}

void MainWindow::ListItemRenamed(const QString& folder, const QString& oldName, const QString& newName)
{
    // The pick names the item by its path: a renamed item is picked under its new name.
    if (pickedPath_ == QDir(folder).filePath(oldName)) pickedPath_ = QDir(folder).filePath(newName);
}

void MainWindow::OpenRecentFolder(int slot)
{
    const QString folder = recentFolders_[slot - 1];
    if (folder.isEmpty()) return;
    if (DirExists(S(folder))) {
        SetTreePath(folder);
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
    AddRecentFolderSlots(recentFolders_, Q(server_->Folder()));
    NormalizeRecent(enableItems);
}
