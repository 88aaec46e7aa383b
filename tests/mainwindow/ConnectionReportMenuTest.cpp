// SPDX-License-Identifier: GPL-3.0-or-later
// The Help menu's connection report: the same findings as calvyx-cli doctor, over the
// main window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>

#include "mainwindow/MainWindow.h"
#include "tests/mainwindow/MainWindowFixture.h"
#include "windows/ConnectionReportDialog.h"

namespace mwtest {
namespace {

TEST_F(MainWindowTest, TheHelpMenuOpensTheConnectionReport)
{
    Start();
    ASSERT_NE(window_->connectionReportAction, nullptr);
    QMenu* help = nullptr;
    for (QAction* top : window_->menuBar()->actions())
        if (top->menu() && top->menu()->actions().contains(window_->connectionReportAction)) help = top->menu();
    ASSERT_NE(help, nullptr) << "the connection report is in no menu";
    EXPECT_TRUE(help->actions().contains(window_->aboutAction)) << "the connection report is not in the Help menu";

    QString shown;
    QWidget* over = nullptr;
    QTimer::singleShot(0, [&] {
        if (auto* report = qobject_cast<ConnectionReportDialog*>(QApplication::activeModalWidget())) {
            shown = report->reportText->toPlainText();
            over = report->parentWidget();
            report->reject();
        }
    });
    QTimer watchdog; // a report that was not found above is closed here, and the test fails
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    watchdog.start(10000);
    window_->connectionReportAction->trigger();
    EXPECT_TRUE(shown.contains(QStringLiteral("result: "))) << "no connection report opened";
    EXPECT_EQ(over, window_.get());
}

} // namespace
} // namespace mwtest
