#pragma once
// The folder tree and the file list: item views over the file system that can tell
// whether a label is being edited.
#include <QTreeView>

class ShellView : public QTreeView {
public:
    using QTreeView::QTreeView;
    bool Editing() const { return state() == QAbstractItemView::EditingState; }
};
