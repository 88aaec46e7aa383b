// SPDX-License-Identifier: GPL-3.0-or-later
// The set-up instructions dialog: the exact texts, and how it is answered.
#include <gtest/gtest.h>

#include <functional>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "windows/CalculatorSetupDialog.h"

namespace {

// Runs action once the modal dialog is up, then returns what ShowInstructions returned.
bool ShowAndAnswer(CalculatorSetupDialog& dialog, SetupInstructions kind, const std::function<void()>& action)
{
    bool acted = false;
    QTimer::singleShot(0, &dialog, [&] {
        if (!QTest::qWaitForWindowExposed(&dialog)) ADD_FAILURE() << "dialog not shown";
        acted = true;
        action();
    });
    // A dialog left open would hang the test: close it after a generous limit.
    QTimer::singleShot(10000, &dialog, [&] { dialog.done(-1); });
    const bool result = dialog.ShowInstructions(kind);
    EXPECT_TRUE(acted);
    return result;
}

// The one place the wording is written out a second time, on purpose: the user follows
// these steps at the calculator and every translation is keyed by them, so a change has
// to be made here too. Every other check compares with InstructionText.
TEST(CalculatorSetupDialog, InstructionTextsAreExact)
{
    EXPECT_EQ(InstructionText(SetupInstructions::SendCalcappByWire),
              "On the QV T20, T20+, T20s, T30s:\r\n\r\n"
              "1.  Select the Calcapp to send.\r\n"
              "2.  Press SEND function key.\r\n"
              "3.  Choose: QV20/30 (Wire).\r\n"
              "4.  Press OK function key.\r\n"
              "5.  Click OK below.");
    EXPECT_EQ(InstructionText(SetupInstructions::LoadRom),
              "On the Calculator:\r\n\r\n"
              "1.  Unplug USB cable\r\n"
              "2.  Hold + and - (3 secs.) while pressing RESET\r\n"
              "3.  Press 1 to load OS/ROM.\r\n"
              "4.  Press 1 for USB.\r\n"
              "5.  Plug USB cable\r\n"
              "6.  Press OK below.");
}

TEST(CalculatorSetupDialog, EachShowingReplacesTheWholeText)
{
    CalculatorSetupDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), "Set the Calculator");
    QString shown;
    ShowAndAnswer(dialog, SetupInstructions::SendCalcappByWire, [&] {
        shown = dialog.instructionsText->toPlainText();
        dialog.okButton->click();
    });
    EXPECT_EQ(shown, InstructionText(SetupInstructions::SendCalcappByWire).replace("\r\n", "\n"));
    ShowAndAnswer(dialog, SetupInstructions::LoadRom, [&] {
        shown = dialog.instructionsText->toPlainText();
        dialog.okButton->click();
    });
    EXPECT_EQ(shown, InstructionText(SetupInstructions::LoadRom).replace("\r\n", "\n"));
    EXPECT_FALSE(shown.contains("Calcapp"));
}

TEST(CalculatorSetupDialog, OnlyOkAnswersTrue)
{
    struct Case {
        const char* how;
        std::function<void(CalculatorSetupDialog&)> answer;
        bool result;
    };
    const Case cases[] = {
        {"OK button", [](CalculatorSetupDialog& d) { d.okButton->click(); }, true},
        {"Enter", [](CalculatorSetupDialog& d) { QTest::keyClick(&d, Qt::Key_Return); }, true},
        {"Cancel button", [](CalculatorSetupDialog& d) { d.cancelButton->click(); }, false},
        {"Esc", [](CalculatorSetupDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, false},
        {"close box", [](CalculatorSetupDialog& d) { d.close(); }, false},
    };
    for (const Case& c : cases) {
        CalculatorSetupDialog dialog;
        bool cancelShown = false;
        const bool result = ShowAndAnswer(dialog, SetupInstructions::LoadRom, [&] {
            cancelShown = dialog.cancelButton->isVisible() && dialog.okButton->isVisible();
            c.answer(dialog);
        });
        EXPECT_EQ(result, c.result) << c.how;
        EXPECT_TRUE(cancelShown) << c.how;
        EXPECT_FALSE(dialog.isVisible()) << c.how;
    }
}

TEST(CalculatorSetupDialog, TheTextIsNotATabStop)
{
    CalculatorSetupDialog dialog;
    EXPECT_EQ(dialog.instructionsText->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(dialog.instructionsText->isReadOnly());
}

TEST(CalculatorSetupDialog, CentresOnItsMainWindow)
{
    // Half of an odd difference is truncated toward zero.
    EXPECT_EQ(CenteredOrigin(QRect(50, 177, 600, 415), QSize(258, 216)).y(), 276);
    QWidget main;
    main.setGeometry(100, 177, 600, 415);
    CalculatorSetupDialog dialog;
    dialog.SetMainWindow(&main);
    QRect frame;
    ShowAndAnswer(dialog, SetupInstructions::SendCalcappByWire, [&] {
        frame = dialog.frameGeometry();
        dialog.cancelButton->click();
    });
    EXPECT_EQ(frame.left(), 100 + (600 - frame.width()) / 2);
    EXPECT_EQ(frame.top(), 177 + (415 - frame.height()) / 2);
}

} // namespace
