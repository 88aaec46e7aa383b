// SPDX-License-Identifier: GPL-3.0-or-later
// The connection report in the windows: the findings as calvyx-cli doctor words them,
// the summary by whether a calculator can be opened, and the Why? button of a
// connection failure, which opens the report over the error and leaves it open.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "windows/ConnectionReportDialog.h"
#include "windows/ErrorBox.h"

namespace {

DoctorReport Report(bool usable)
{
    DoctorReport report;
    report.calculatorUsable = usable;
    report.findings = {
        {"/dev/ttyUSB0, USB 1-2 1a86:7523 \"USB Serial\"", "you may not open /dev/ttyUSB0 (root:dialout 0660)",
         FindingSeverity::Problem, "sudo adduser ana dialout"},
        {"/dev/ttyUSB0, USB 1-2 1a86:7523 \"USB Serial\"", "held open by minicom (process 777)", FindingSeverity::Problem,
         "quit minicom, or: kill 777"},
        {"group dialout", "ana is not in it", FindingSeverity::Warning, "sudo adduser ana dialout"},
    };
    return report;
}

TEST(ConnectionReport, ShowsEveryFindingWithItsFixUnderItsSubject)
{
    ConnectionReportDialog dialog(Report(false));
    const QString text = dialog.reportText->toPlainText();
    EXPECT_TRUE(dialog.reportText->isReadOnly());
    const QStringList lines = text.split(u'\n');
    // One subject line for the two findings of the port, each finding with its fix below.
    EXPECT_EQ(lines.count(QStringLiteral("/dev/ttyUSB0, USB 1-2 1a86:7523 \"USB Serial\"")), 1) << text.toStdString();
    const auto at = [&](const QString& line) { return lines.indexOf(line); };
    const qsizetype held = at(QStringLiteral("  PROBLEM  held open by minicom (process 777)"));
    ASSERT_GE(held, 0) << text.toStdString();
    EXPECT_EQ(lines.value(held + 1), QStringLiteral("           fix: quit minicom, or: kill 777"));
    EXPECT_GE(at(QStringLiteral("  warning  ana is not in it")), 0) << text.toStdString();
    EXPECT_EQ(lines.value(lines.size() - 2), QStringLiteral("result: no calculator connection can be opened"));

    ConnectionReportDialog fine(Report(true));
    EXPECT_NE(fine.summaryLabel->text(), dialog.summaryLabel->text());
    EXPECT_TRUE(fine.reportText->toPlainText().endsWith(QStringLiteral("result: a calculator connection can be opened\n")));
}

TEST(ConnectionReport, WhyBesideAConnectionFailureOpensTheReportAndKeepsTheError)
{
    QMessageBox* box = ConnectionErrorBox(QStringLiteral("Unable to open /dev/ttyUSB0"));
    QPointer<QMessageBox> alive(box);
    EXPECT_EQ(box->text(), QStringLiteral("Unable to open /dev/ttyUSB0."));
    auto* why = box->findChild<QPushButton*>(QStringLiteral("whyButton"));
    ASSERT_NE(why, nullptr);
    box->show();

    QString reportShown;
    // The report is modal: it is looked at and closed from the event loop it runs.
    QTimer::singleShot(0, [&] {
        if (auto* report = qobject_cast<ConnectionReportDialog*>(QApplication::activeModalWidget())) {
            reportShown = report->reportText->toPlainText();
            report->reject();
        }
    });
    QTimer watchdog; // a report that was not found above is closed here, and the test fails
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    watchdog.start(10000);
    why->click();
    EXPECT_TRUE(reportShown.contains(QStringLiteral("result: "))) << "no connection report opened over the error";
    ASSERT_TRUE(alive);
    EXPECT_TRUE(box->isVisible()) << "Why? closed the error";
    box->close();
}

TEST(ConnectionReport, AnInstalledErrorHandlerGetsTheConnectionFailure)
{
    QStringList shown;
    const ErrorHandler previous = SetApplicationErrorHandler([&](const QString& text) { shown << text; });
    ShowConnectionError(QStringLiteral("Unable to open COM1"));
    SetApplicationErrorHandler(previous);
    EXPECT_EQ(shown, QStringList{QStringLiteral("Unable to open COM1.")});
}

} // namespace
