// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// LogWindow: the log window. It shows, one per line, what its owner hands it: the
// transfers' status texts in the order the status dialog showed them, and the outcomes
// of the main window's commands, for the life of the window. The user can read, select,
// copy and clear it; there is no file behind it.
#include <QStringList>

#include "windows/WindowBase.h"

class QAction;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class WindowPlacement;

class LogWindow : public WindowBase {
    Q_OBJECT
public:
    explicit LogWindow(QWidget* parent = nullptr);

    // Adds text as the new last line; line breaks in it (CR LF or LF) make several lines.
    void AppendLine(const QString& text);
    // The memo's lines, for the tests and the status dialog's checks.
    QStringList Lines() const;

    QPlainTextEdit* logText;
    QPushButton* clearButton;
    QPushButton* okButton;
    WindowPlacement* windowPlacement;
    QMenu* contextMenu;
    QAction* undoItem;
    QAction* cutItem;
    QAction* copyItem;
    QAction* pasteItem;
    QAction* deleteItem;
    QAction* selectAllItem;

    void ClearLog();
    void OkClicked();
    void CopySelection();
    void SelectAllText();

protected:
    void WindowClosed() override;

private:
    bool FHasLines = false; // an empty first line still counts as a line
};
