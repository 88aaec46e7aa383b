// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The folder tree and the file list: item views over the file system that can tell
// whether a label is being edited. Files dragged in from the desktop are handed to
// filesDropped (never moved: the view accepts them as a copy only), and the selected
// items drag out as a list of file URLs, again as a copy only.
#include <functional>

#include <QStringList>
#include <QTreeView>

class QMimeData;

class ShellView : public QTreeView {
public:
    using QTreeView::QTreeView;
    bool Editing() const { return state() == QAbstractItemView::EditingState; }

    // The local files of a drop and the folder they go to; runs after the drop has
    // finished (it may ask questions). Unset: the view takes no drops.
    std::function<void(const QStringList& files, const QString& folder)> filesDropped;
    // The folder a drop at pos (viewport coordinates) goes to: the folder item under it,
    // else the folder the view shows; empty when there is none.
    QString DropFolder(const QPoint& pos) const;
    // The local files a drop of data carries; empty unless every URL is a local file.
    static QStringList DroppedFiles(const QMimeData* data);
    // What a drag of the selected items carries (the caller owns it); nullptr when
    // nothing is selected.
    QMimeData* DragData() const;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    // True (and the event set to a copy) when the drag can be dropped at its position.
    bool AcceptCopy(QDropEvent* event) const;
};
