// SPDX-License-Identifier: GPL-3.0-or-later
// The log window: lines in, clearing, keys, its context menu and its saved placement.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/ScopedSettings.h"
#include "windows/ErrorBox.h"
#include "windows/LogWindow.h"
#include "windows/WindowPlacement.h"

namespace {

TEST(LogWindow, LinesAreAppendedUnchangedAndBreaksSplitThem)
{
    ScopedSettings settings;
    LogWindow log;
    EXPECT_EQ(log.windowTitle(), "Log");
    EXPECT_TRUE(log.Lines().isEmpty());
    log.AppendLine("");
    log.AppendLine("Receiving PROG.CA");
    log.AppendLine("1 024 of 4 096 bytes\r\n25 %\r\n960 bytes/s");
    log.AppendLine("");
    EXPECT_EQ(log.Lines(), QStringList({"", "Receiving PROG.CA", "1 024 of 4 096 bytes", "25 %", "960 bytes/s", ""}));
}

// Every shown line starts with the time it was written; saved as text, the file holds
// the lines as shown.
TEST(LogWindow, ShownLinesCarryTheirTimeAndAreSavedAsText)
{
    ScopedSettings settings;
    LogWindow log;
    log.AppendLine("Link opened on QVxT0+");
    log.AppendLine("first\r\nsecond");
    log.AppendLine("");
    const QStringList shown = log.ShownLines();
    ASSERT_EQ(shown.size(), 4);
    const QRegularExpression stamped("^([0-2][0-9]):([0-5][0-9]):([0-5][0-9])(  (.*))?$");
    const QStringList texts{"Link opened on QVxT0+", "first", "second", ""};
    for (int i = 0; i < shown.size(); ++i) {
        const QRegularExpressionMatch match = stamped.match(shown[i]);
        ASSERT_TRUE(match.hasMatch()) << shown[i].toStdString();
        EXPECT_EQ(match.captured(5), texts[i]);
    }
    EXPECT_EQ(log.logText->toPlainText(), shown.join("\n"));

    QTemporaryDir dir;
    const QString path = dir.path() + "/log.txt";
    QStringList errors;
    const ErrorHandler previous = SetApplicationErrorHandler([&](const QString& text) { errors << text; });
    log.askSavePath = [&]() -> std::optional<QString> { return path; };
    log.saveButton->click();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "nothing saved";
    EXPECT_EQ(QString::fromUtf8(file.readAll()), shown.join("\n") + "\n");
    EXPECT_TRUE(errors.isEmpty());
    // A file that cannot be written is said.
    log.askSavePath = [&]() -> std::optional<QString> { return dir.path() + "/missing/log.txt"; };
    log.saveButton->click();
    EXPECT_EQ(errors.size(), 1);
    SetApplicationErrorHandler(previous);
}

TEST(LogWindow, ClearEmptiesItAndNewLinesStartAtTheTop)
{
    ScopedSettings settings;
    LogWindow log;
    log.clearButton->click(); // on an empty log: nothing happens
    EXPECT_TRUE(log.Lines().isEmpty());
    log.AppendLine("one");
    log.AppendLine("two");
    log.clearButton->click();
    EXPECT_TRUE(log.Lines().isEmpty());
    log.AppendLine("three");
    EXPECT_EQ(log.Lines(), QStringList({"three"}));
    EXPECT_EQ(log.ShownLines().size(), 1);
    EXPECT_TRUE(log.logText->toPlainText().endsWith("  three")) << log.logText->toPlainText().toStdString();
    EXPECT_FALSE(log.logText->toPlainText().contains("two"));
}

TEST(LogWindow, LinesArriveWhileHidden)
{
    ScopedSettings settings;
    LogWindow log;
    for (int i = 0; i < 50; ++i) log.AppendLine(QString::number(i));
    log.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&log));
    EXPECT_EQ(log.Lines().size(), 50);
    EXPECT_EQ(log.Lines().back(), "49");
}

TEST(LogWindow, ContextMenuItemsAndStates)
{
    ScopedSettings settings;
    LogWindow log;
    struct Item {
        const char* name;
        const char* caption;
        QKeySequence shortcut;
        bool enabled;
        bool separator;
    };
    const Item expected[] = {
        {"undoItem", "&Undo", {}, false, false},
        {"editSeparator", "", {}, true, true},
        {"cutItem", "Cu&t", QKeySequence("Ctrl+X"), false, false},
        {"copyItem", "&Copy", QKeySequence("Ctrl+C"), true, false},
        {"pasteItem", "&Paste", QKeySequence("Ctrl+V"), false, false},
        {"deleteItem", "&Delete", {}, false, false},
        {"selectSeparator", "", {}, true, true},
        {"selectAllItem", "Select &All", QKeySequence("Ctrl+A"), true, false},
    };
    const QList<QAction*> items = log.contextMenu->actions();
    ASSERT_EQ(items.size(), int(std::size(expected)));
    for (int i = 0; i < items.size(); ++i) {
        const Item& e = expected[i];
        EXPECT_EQ(items[i]->objectName(), e.name);
        EXPECT_EQ(items[i]->isSeparator(), e.separator) << e.name;
        if (e.separator) continue;
        EXPECT_EQ(items[i]->text(), e.caption) << e.name;
        EXPECT_EQ(items[i]->shortcut(), e.shortcut) << e.name;
        EXPECT_EQ(items[i]->isEnabled(), e.enabled) << e.name;
    }
    log.AppendLine("alpha");
    log.AppendLine("beta");
    log.selectAllItem->trigger();
    EXPECT_EQ(log.logText->textCursor().selectedText(), log.ShownLines().join(QChar::ParagraphSeparator));
    QApplication::clipboard()->clear();
    log.copyItem->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), log.ShownLines().join("\n"));
    EXPECT_TRUE(QApplication::clipboard()->text().contains("beta"));
}

TEST(LogWindow, CopyKeysCopyOnlyASelection)
{
    ScopedSettings settings;
    LogWindow log;
    log.AppendLine("first line");
    log.AppendLine("second line");
    log.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&log));
    log.logText->setFocus();
    QApplication::clipboard()->setText("untouched");
    QTest::keyClick(log.logText, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "untouched");
    QTest::keyClick(log.logText, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(log.logText, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), log.ShownLines().join("\n"));
    EXPECT_TRUE(QApplication::clipboard()->text().endsWith("  second line"));
}

TEST(LogWindow, EscAndOkCloseAndSaveThePlacement)
{
    for (const bool byEsc : {true, false}) {
        ScopedSettings settings;
        LogWindow log;
        log.move(60, 70);
        log.resize(350, 430);
        log.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&log));
        if (byEsc) {
            log.logText->setFocus();
            QTest::keyClick(log.logText, Qt::Key_Escape);
        } else {
            log.okButton->click();
        }
        EXPECT_FALSE(log.isVisible()) << (byEsc ? "Esc" : "OK");
        EXPECT_EQ(settings.Get("LogForm", "Visible").toString(), "0") << "recorded closed, though saved while still open";
        EXPECT_EQ(settings.Get("LogForm", "Width").toString(), "350");
        EXPECT_EQ(settings.Get("LogForm", "Height").toString(), "430");
    }
}

TEST(LogWindow, ClosedWhileHiddenRecordsItClosedAndReopensAsSaved)
{
    ScopedSettings settings;
    {
        LogWindow log;
        log.close(); // the main window at shutdown
        EXPECT_EQ(settings.Get("LogForm", "Visible").toString(), "0");
    }
    settings.Put("LogForm", "Visible", "1");
    settings.Put("LogForm", "Width", "500");
    LogWindow reopened;
    EXPECT_TRUE(reopened.isVisible()) << "a log left open is shown again at creation";
    EXPECT_EQ(reopened.width(), 500);
}

// A log closed by the user stays closed at the next start; one never closed (left open
// when the settings were written otherwise) still comes back.
TEST(LogWindow, ClosedWithOkIsNotShownAgainAtCreation)
{
    for (const bool byOk : {true, false}) {
        ScopedSettings settings;
        {
            LogWindow log;
            log.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&log));
            if (byOk)
                log.okButton->click();
            else
                log.windowPlacement->SavePositions(); // a placement saved while open
        }
        LogWindow next;
        EXPECT_EQ(next.isVisible(), !byOk) << (byOk ? "closed with OK" : "saved while open");
    }
}

} // namespace
