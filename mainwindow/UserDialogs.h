// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The questions the main window's commands ask the user: file choosers, the calculator
// set-up instructions, confirmations and notices. The program answers them with real
// dialogs; the tests put a scripted stand-in in their place.
#include <optional>

#include <QPointer>
#include <QString>

#include "windows/CalculatorSetupDialog.h"

class QWidget;

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // A save dialog proposing a path; asks before replacing a file, needs an existing folder.
    virtual std::optional<QString> AskSaveFile(const QString& title, const QString& proposedPath) = 0;
    // An open dialog; filters in the chooser's form ("ROM Files (*.bin *.BIN);;All Files (*)").
    virtual std::optional<QString> AskOpenFile(const QString& title, const QString& startPath, const QString& filters) = 0;
    // The calculator set-up instructions of a kind (1 wire send, 3 ROM load); true on OK.
    virtual bool ShowInstructions(SetupInstructions which) = 0;
    // The instructions are on the screen (a ROM load waits until they are closed), and
    // they take the focus.
    virtual bool InstructionsVisible() const { return false; }
    virtual void FocusInstructions() {}
    virtual bool Confirm(const QString& text, const QString& caption) = 0;
    // A message box with one OK button.
    virtual void ShowMessage(const QString& text, const QString& caption, bool error) = 0;
};

// The real dialogs, owned by window. The set-up instructions are a window of their own,
// made when first shown and deleted with this object.
class StandardDialogs : public UserDialogs {
public:
    explicit StandardDialogs(QWidget* window) : window_(window) {}
    ~StandardDialogs() override;
    StandardDialogs(const StandardDialogs&) = delete;
    StandardDialogs& operator=(const StandardDialogs&) = delete;
    std::optional<QString> AskSaveFile(const QString& title, const QString& proposedPath) override;
    std::optional<QString> AskOpenFile(const QString& title, const QString& startPath, const QString& filters) override;
    bool ShowInstructions(SetupInstructions which) override;
    bool InstructionsVisible() const override;
    void FocusInstructions() override;
    bool Confirm(const QString& text, const QString& caption) override;
    void ShowMessage(const QString& text, const QString& caption, bool error) override;

private:
    QWidget* window_;
    QPointer<CalculatorSetupDialog> instructions_;
};
