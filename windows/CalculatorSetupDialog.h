// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CalculatorSetupDialog, "Set the Calculator": tells the user what to press on the calculator
// before a receive by wire or a ROM load, and waits for OK or Cancel.
#include <QPointer>

#include "windows/WindowBase.h"

class QPlainTextEdit;
class QPushButton;

enum class SetupInstructions {
    SendCalcappByWire, // prepare the calculator to send a Calcapp by wire
    LoadRom,           // prepare it to take a new ROM over USB
};

// The instructions, lines separated by CR LF.
QString InstructionText(SetupInstructions which);

class CalculatorSetupDialog : public WindowBase {
    Q_OBJECT
public:
    explicit CalculatorSetupDialog(QWidget* parent = nullptr);

    void SetMainWindow(QWidget* window);
    // Shows the instructions modally; true exactly when the user pressed OK.
    bool ShowInstructions(SetupInstructions which);

    QPlainTextEdit* instructionsText;
    QPushButton* okButton;
    QPushButton* cancelButton;

    void CancelClicked();

protected:
    void WindowShown() override;

private:
    QPointer<QWidget> mainWindow_;
};
