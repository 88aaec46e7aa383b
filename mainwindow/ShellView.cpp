// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/ShellView.h"

#include <QDrag>
#include <QDropEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

QString ShellView::DropFolder(const QPoint& pos) const
{
    const auto* files = qobject_cast<const QFileSystemModel*>(model());
    if (!files) return {};
    const QModelIndex item = indexAt(pos);
    if (item.isValid() && files->isDir(item)) return files->filePath(item);
    // Beside the items of the list: the folder it shows. The tree has no such folder.
    const QModelIndex shown = rootIndex();
    return shown.isValid() ? files->filePath(shown) : QString();
}

QStringList ShellView::DroppedFiles(const QMimeData* data)
{
    QStringList files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) return {};
        files << url.toLocalFile();
    }
    return files;
}

QMimeData* ShellView::DragData() const
{
    if (!model() || !selectionModel()) return nullptr;
    const QModelIndexList rows = selectionModel()->selectedRows(0);
    if (rows.isEmpty()) return nullptr;
    // The file system model gives the items' file URLs (text/uri-list).
    return model()->mimeData(rows);
}

bool ShellView::AcceptCopy(QDropEvent* event) const
{
    // The view's own items are not dropped on itself; only copying is offered, so a file
    // manager never removes what it dragged here.
    if (!filesDropped || event->source() == this || !(event->possibleActions() & Qt::CopyAction)) return false;
    if (DroppedFiles(event->mimeData()).isEmpty() || DropFolder(event->position().toPoint()).isEmpty()) return false;
    event->setDropAction(Qt::CopyAction);
    return true;
}

void ShellView::dragEnterEvent(QDragEnterEvent* event)
{
    if (AcceptCopy(event))
        event->accept();
    else
        event->ignore();
}

void ShellView::dragMoveEvent(QDragMoveEvent* event)
{
    if (AcceptCopy(event))
        event->accept();
    else
        event->ignore();
}

void ShellView::dropEvent(QDropEvent* event)
{
    if (!AcceptCopy(event)) {
        event->ignore();
        return;
    }
    event->accept();
    const QStringList files = DroppedFiles(event->mimeData());
    const QString folder = DropFolder(event->position().toPoint());
    // The copy may ask about a name clash: it runs once the drop is over, so the file
    // manager is not kept waiting for the answer.
    QTimer::singleShot(0, this, [this, files, folder] {
        if (filesDropped) filesDropped(files, folder);
    });
}

void ShellView::startDrag(Qt::DropActions)
{
    QMimeData* dragData = DragData();
    if (!dragData) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(dragData);
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}
