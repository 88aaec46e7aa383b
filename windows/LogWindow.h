// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// LogWindow: the log window. It shows, one per line and each with the time it was
// written, what its owner hands it: the starts and ends of the transfers, what happened
// to the link, and the outcomes of the main window's commands, for the life of the
// window. The user can read, select, copy, clear and save it as text.
#include <functional>
#include <optional>

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
    // The lines as they were handed in (without their times).
    QStringList Lines() const;
    // The lines as the memo shows them, each after its time ("HH:MM:SS  text").
    QStringList ShownLines() const;
    // Where "Save as Text" writes (a save dialog); the tests put a stand-in here.
    std::function<std::optional<QString>()> askSavePath;

    QPlainTextEdit* logText;
    QPushButton* clearButton;
    QPushButton* saveButton;
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
    // Writes the shown lines to a file the user picks; a failure is reported.
    void SaveAsText();
    void OkClicked();
    void CopySelection();
    void SelectAllText();

protected:
    void WindowClosed() override;

private:
    QStringList lines_;
};
