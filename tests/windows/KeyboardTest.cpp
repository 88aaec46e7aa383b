// SPDX-License-Identifier: GPL-3.0-or-later
// Keyboard use of the windows: Tab walks the controls in a sensible order and never
// gets stuck in a text box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "tests/support/ScopedSettings.h"
#include "tests/support/TestScreens.h"
#include "windows/LogWindow.h"
#include "windows/ScreenCaptureWindow.h"

namespace {

// The object names of the widgets that Tab gives the focus to, starting at first.
QStringList TabWalk(QWidget& window, QWidget* first, int steps)
{
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) return {"window not active"};
    first->setFocus(Qt::TabFocusReason);
    QStringList walk{QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "none"};
    for (int i = 0; i < steps; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walk << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "none");
    }
    return walk;
}

TEST(Keyboard, LogWindowTabLeavesTheMemo)
{
    ScopedSettings settings;
    LogWindow log;
    log.AppendLine("line");
    EXPECT_EQ(TabWalk(log, log.logText, 4), QStringList({"logText", "clearButton", "saveButton", "okButton", "logText"}));
    EXPECT_FALSE(log.logText->toPlainText().contains(u'\t')) << "Tab typed into the log";
    EXPECT_TRUE(log.logText->toPlainText().endsWith("  line"));
    log.close();
}

TEST(Keyboard, CaptureWindowTabOrder)
{
    ScopedSettings settings;
    ScreenCaptureWindow capture;
    // Without a screen there is nothing to copy or save: Tab passes over both.
    EXPECT_EQ(TabWalk(capture, capture.borderSlider, 3),
              QStringList({"borderSlider", "scaleBox", "closeButton", "borderSlider"}));
    capture.SetScreen(EncodeScreen(GraphScreen(), 0x80));
    EXPECT_EQ(TabWalk(capture, capture.borderSlider, 5),
              QStringList({"borderSlider", "scaleBox", "copyButton", "saveButton", "closeButton", "borderSlider"}));
    // The arrow keys move the border.
    capture.borderSlider->setFocus();
    QTest::keyClick(capture.borderSlider, Qt::Key_Right);
    EXPECT_EQ(capture.BorderWidth(), 2);
    EXPECT_EQ(capture.Picture().width(), 139);
    QTest::keyClick(&capture, Qt::Key_Escape);
    EXPECT_FALSE(capture.isVisible());
}

} // namespace
