// SPDX-License-Identifier: GPL-3.0-or-later
// The transfer status dialog: what each kind of report and each transfer event does to
// it, and the texts it hands on to the log.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "tests/support/ScopedSettings.h"
#include "util/MainThread.h"
#include "windows/ErrorBox.h"
#include "windows/TransferStatusDialog.h"

namespace {

class TransferStatusDialogTest : public ::testing::Test {
protected:
    ScopedSettings settings;
    TransferStatusDialog status;
};

TEST_F(TransferStatusDialogTest, OpenStatusResetsTheDialog)
{
    status.OpenStatus("Receiving OLD.CA", true);
    status.UpdateStatus({"half", StatusKind::Progress, 5, 10});
    status.HideStatus();
    status.OpenStatus("Sending NEW.CA", false);
    EXPECT_TRUE(status.isVisible());
    EXPECT_TRUE(status.IsStatusVisible());
    EXPECT_EQ(status.windowTitle(), "Sending NEW.CA");
    EXPECT_EQ(status.statusText->text(), "");
    EXPECT_EQ(status.progressBar->maximum(), 1);
    EXPECT_EQ(status.progressBar->value(), 0);
    EXPECT_TRUE(status.cancelButton->isHidden());
    status.OpenStatus("again", true);
    EXPECT_FALSE(status.cancelButton->isHidden());
    EXPECT_TRUE(status.cancelButton->isEnabled());
    EXPECT_TRUE(status.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(TransferStatusDialogTest, KindsOfReports)
{
    struct Case {
        StatusKind kind;
        const char* text;
        int done, total;
        bool visibleAfter;
        int barMax, barPos;
    };
    const Case cases[] = {
        {StatusKind::Notice, "Canceled by PC", 0, 0, true, 1, 0},
        {StatusKind::Connecting, "Connecting ...", 0, 0, true, 1, 0},
        {StatusKind::Progress, "512 of 2048 bytes\r\n25 %\r\n960 bytes/s", 512, 2048, true, 2048, 512},
        // No total, or more than the one announced: a busy bar (no share), never a full one.
        {StatusKind::Progress, "57 bytes\r\n57 bytes/s", 57, 0, true, 0, 0},
        {StatusKind::Progress, "9.0 kB\r\n1.0 kB/s", 9000, 57, true, 0, 0},
        {StatusKind::Finished, "", 0, 0, false, 1, 0},
    };
    for (const Case& c : cases) {
        status.OpenStatus("Receiving X", true);
        status.UpdateStatus({c.text, c.kind, c.done, c.total});
        EXPECT_EQ(status.statusText->text(), c.text) << "kind " << static_cast<int>(c.kind);
        EXPECT_EQ(status.isVisible(), c.visibleAfter) << "kind " << static_cast<int>(c.kind);
        EXPECT_EQ(status.IsStatusVisible(), c.visibleAfter) << "kind " << static_cast<int>(c.kind);
        EXPECT_EQ(status.progressBar->maximum(), c.barMax) << "kind " << static_cast<int>(c.kind);
        EXPECT_EQ(status.progressBar->value(), c.barPos) << "kind " << static_cast<int>(c.kind);
    }
    // The finishing report closes with the OK result.
    EXPECT_EQ(status.result(), QDialog::Accepted);
}

TEST_F(TransferStatusDialogTest, TwoProgressReportsLeaveTheSecond)
{
    status.OpenStatus("Sending A", true);
    status.UpdateStatus({"a", StatusKind::Progress, 100, 1000});
    status.UpdateStatus({"b", StatusKind::Progress, 700, 2000});
    EXPECT_EQ(status.progressBar->maximum(), 2000);
    EXPECT_EQ(status.progressBar->value(), 700);
}

TEST_F(TransferStatusDialogTest, ReportsWhileHiddenLeaveNoTrace)
{
    status.UpdateStatus({"before open", StatusKind::Notice, 0, 0});
    status.OpenStatus("Receiving B", true);
    status.UpdateStatus({"shown", StatusKind::Progress, 1, 4});
    status.cancelButton->click(); // the user cancels
    EXPECT_FALSE(status.IsStatusVisible());
    EXPECT_EQ(status.result(), QDialog::Rejected);
    status.UpdateStatus({"after cancel", StatusKind::Progress, 3, 4});
    status.UpdateStatus({"", StatusKind::Finished, 0, 0});
    EXPECT_EQ(status.progressBar->value(), 1);
    EXPECT_EQ(status.statusText->text(), "shown");
}

TEST_F(TransferStatusDialogTest, EscAndCloseBoxCancelToo)
{
    status.OpenStatus("Receiving C", true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&status));
    QTest::keyClick(&status, Qt::Key_Escape);
    EXPECT_FALSE(status.IsStatusVisible());
    status.OpenStatus("Receiving C", true);
    status.close();
    EXPECT_FALSE(status.IsStatusVisible());
}

TEST_F(TransferStatusDialogTest, WorkerThreadReportsThroughTheMainThread)
{
    // A transfer thread opens the dialog, reports and reads the visibility directly,
    // the way the Kermit engine and the wire receive do.
    bool sawVisible = false;
    bool sawHidden = false;
    auto worker = std::make_unique<WorkerThread>([&] {
        status.OpenStatus("Receiving D", true);
        sawVisible = status.IsStatusVisible();
        for (int i = 1; i <= 3; ++i) status.UpdateStatus({"block " + std::to_string(i), StatusKind::Progress, i, 3});
        status.UpdateStatus({"", StatusKind::Finished, 0, 0});
        sawHidden = !status.IsStatusVisible();
    });
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_TRUE(worker->Join(QDeadlineTimer(1000))) << "the worker did not finish";
    EXPECT_TRUE(sawVisible);
    EXPECT_TRUE(sawHidden);
}

TEST_F(TransferStatusDialogTest, CentresOnItsMainWindow)
{
    EXPECT_EQ(CenteredOrigin(QRect(100, 50, 600, 400), QSize(210, 120)), QPoint(295, 190));
    QWidget main;
    main.setGeometry(100, 50, 600, 400);
    status.SetCenterForm(&main);
    status.OpenStatus("Receiving E", true);
    const QRect frame = status.frameGeometry();
    EXPECT_EQ(frame.left(), 100 + (main.frameGeometry().width() - frame.width()) / 2);
    EXPECT_EQ(frame.top(), main.frameGeometry().top() + (main.frameGeometry().height() - frame.height()) / 2);
}

TransferEvent Event(TransferStage stage, TransferKind kind, int64_t done = 0, int64_t total = 0,
                    TransferReason reason = TransferReason::None)
{
    TransferEvent event;
    event.stage = stage;
    event.kind = kind;
    event.file = "PROG.CA";
    event.done = done;
    event.total = total;
    event.elapsedMs = 999;
    event.reason = reason;
    event.outcome =
        stage == TransferStage::Ended && reason != TransferReason::None ? TransferOutcome::Failed : TransferOutcome::Completed;
    return event;
}

// A transfer that reports events: the dialog words them itself, opens at the start,
// follows the progress, closes on success; a failed Kermit transfer leaves the dialog,
// the others keep their reason up. The log gets the events from the session, not from
// the dialog.
TEST_F(TransferStatusDialogTest, ShowsTransferEventsInItsOwnWords)
{
    EXPECT_TRUE(status.ShowTransfer(Event(TransferStage::Started, TransferKind::KermitReceive)));
    EXPECT_TRUE(status.IsStatusVisible());
    EXPECT_EQ(status.windowTitle(), "Receiving PROG.CA");
    EXPECT_EQ(status.nameText->text(), "Receiving PROG.CA");
    status.ShowTransfer(Event(TransferStage::Progress, TransferKind::KermitReceive, 1000, 4000));
    EXPECT_EQ(status.statusText->text(), "1.0 kB of 4.0 kB\r\n(25%)\r\n1.0 kB/s");
    EXPECT_EQ(status.progressBar->maximum(), 4000);
    EXPECT_EQ(status.progressBar->value(), 1000);
    status.ShowTransfer(Event(TransferStage::Ended, TransferKind::KermitReceive));
    EXPECT_FALSE(status.IsStatusVisible());
    EXPECT_EQ(status.result(), QDialog::Accepted);

    status.ShowTransfer(Event(TransferStage::Started, TransferKind::KermitSend));
    status.ShowTransfer(Event(TransferStage::Ended, TransferKind::KermitSend, 0, 0, TransferReason::TooManyErrors));
    EXPECT_FALSE(status.IsStatusVisible()) << "a failed Kermit transfer leaves the dialog";
    EXPECT_EQ(status.statusText->text(), "Sending PROG.CA failed: too many errors on the line");

    status.ShowTransfer(Event(TransferStage::Started, TransferKind::XModemSend));
    EXPECT_EQ(status.windowTitle(), "Sending PROG.CA");
    status.ShowTransfer(Event(TransferStage::Connecting, TransferKind::XModemSend));
    EXPECT_EQ(status.statusText->text(), "Connecting ...");
    status.ShowTransfer(Event(TransferStage::Ended, TransferKind::XModemSend, 0, 0, TransferReason::NoStart));
    EXPECT_TRUE(status.IsStatusVisible()) << "an XModem send keeps its reason up";
    EXPECT_EQ(status.statusText->text(), "Not sent: no start byte");
    status.HideStatus();
    // A hidden dialog ignores what comes after (a cancelled transfer's last events).
    status.ShowTransfer(Event(TransferStage::Progress, TransferKind::XModemSend, 1, 2));
    EXPECT_FALSE(status.IsStatusVisible());
    EXPECT_EQ(status.statusText->text(), "Not sent: no start byte");
}

// Cancel, Escape and the close box tell the session, once each.
TEST_F(TransferStatusDialogTest, CancellingTellsTheSession)
{
    int cancels = 0;
    status.OnCancel = [&] { ++cancels; };
    status.ShowTransfer(Event(TransferStage::Started, TransferKind::WireReceive));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&status));
    status.cancelButton->click();
    EXPECT_EQ(cancels, 1);
    status.ShowTransfer(Event(TransferStage::Started, TransferKind::WireReceive));
    QTest::keyClick(&status, Qt::Key_Escape);
    EXPECT_EQ(cancels, 2);
    status.ShowTransfer(Event(TransferStage::Started, TransferKind::WireReceive));
    status.ShowTransfer(Event(TransferStage::Ended, TransferKind::WireReceive));
    EXPECT_EQ(cancels, 2) << "a success is no cancel";
}

// The title bar cuts a long caption, so the body shows it whole: the name and the
// direction are in the dialog's labels, and the dialog is wide enough for the title.
TEST_F(TransferStatusDialogTest, BodyNamesTheFileAndTheDirection)
{
    const char* captions[] = {"Receiving PROGRAM-WITH-A-LONG-NAME.CA", "Sending GRAPHS.QVA", "Receiving E"};
    for (const char* caption : captions) {
        status.OpenStatus(caption, true);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&status));
        QStringList shown;
        for (const QLabel* label : status.findChildren<QLabel*>())
            if (label->isVisible()) shown << label->text();
        EXPECT_TRUE(shown.contains(QString::fromLatin1(caption))) << caption << ": " << shown.join(" | ").toStdString();
        const QLabel* name = status.nameText;
        EXPECT_GE(name->width(), name->fontMetrics().horizontalAdvance(name->text())) << caption << ": the name is not cut";
        EXPECT_GT(status.width(), status.fontMetrics().horizontalAdvance(status.windowTitle()))
            << caption << ": room for the title";
        // A report changes the progress text, not the name.
        status.UpdateStatus({"1 of 2 bytes", StatusKind::Progress, 1, 2});
        EXPECT_EQ(name->text(), QString::fromLatin1(caption));
        status.HideStatus();
    }
}

} // namespace

namespace {

// A failure told in a message box closes the dialog first, without cancelling, and the
// message carries the dialog's last text unless it says it already.
TEST_F(TransferStatusDialogTest, AFailureMessageClosesTheDialogAndTakesItsLastText)
{
    int cancels = 0;
    status.OnCancel = [&] { ++cancels; };
    const struct {
        const char* name;
        std::vector<TransferEvent> events;
        QString message;
        QString told;
    } cases[] = {
        {"wire receive the calculator was not ready for",
         {Event(TransferStage::Started, TransferKind::WireReceive), Event(TransferStage::Connecting, TransferKind::WireReceive),
          Event(TransferStage::Ended, TransferKind::WireReceive, 0, 0, TransferReason::NoAnswer)},
         "Receive by wire failed: no answer for ",
         "Receive by wire failed: no answer for "},
        {"ROM load cut off in its progress",
         {Event(TransferStage::Started, TransferKind::RomLoad), Event(TransferStage::Progress, TransferKind::RomLoad, 1000, 4000),
          Event(TransferStage::Ended, TransferKind::RomLoad, 0, 0, TransferReason::LinkLost)},
         "Download of ROM file failed.",
         "Download of ROM file failed.\n\n1.0 kB of 4.0 kB\n(25%)\n1.0 kB/s"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const TransferEvent& event : c.events) status.ShowTransfer(event);
        ASSERT_TRUE(status.IsStatusVisible()) << "the dialog should still be up before the message";
        EXPECT_EQ(status.CloseInto(c.message), c.told);
        EXPECT_FALSE(status.isVisible());
        EXPECT_FALSE(status.IsStatusVisible());
        // Closed already: nothing more to add.
        EXPECT_EQ(status.CloseInto(c.message), c.message);
    }
    EXPECT_EQ(cancels, 0) << "closing for a message cancelled the transfer";
}

// A message box opened while the status dialog is up is its child and stays on top, so
// the dialog (which stays on top) never hides it; without the dialog it is the caller's.
TEST_F(TransferStatusDialogTest, MessageBoxesStayAboveTheDialog)
{
    QWidget mainWindow;
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
    status.ShowTransfer(Event(TransferStage::Started, TransferKind::WireReceive));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&status));

    struct Seen {
        bool shown = false;
        QWidget* parent = nullptr;
        bool onTop = false;
        QString text;
    };
    // Looks at the box that exec() shows, then closes it; bounded, and the box is
    // closed whatever it looked like.
    const auto answerBox = [](Seen& seen) {
        auto* timer = new QTimer;
        timer->setInterval(10);
        auto tries = std::make_shared<int>(0);
        QObject::connect(timer, &QTimer::timeout, [timer, tries, &seen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box) {
                seen.shown = box->isVisible();
                seen.parent = box->parentWidget();
                seen.onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
                seen.text = box->text();
                box->done(QMessageBox::Ok);
            }
            if (box || ++*tries > 500) timer->deleteLater();
        });
        timer->start();
    };

    Seen above;
    answerBox(above);
    ShowApplicationError("Receive by wire failed", &mainWindow);
    EXPECT_TRUE(above.shown);
    EXPECT_EQ(above.parent, &status) << "the box is not the status dialog's child";
    EXPECT_TRUE(above.onTop);
    EXPECT_EQ(above.text, "Receive by wire failed.");

    status.HideStatus();
    Seen alone;
    answerBox(alone);
    ShowApplicationError("Something else", &mainWindow);
    EXPECT_TRUE(alone.shown);
    EXPECT_EQ(alone.parent, &mainWindow);
    EXPECT_FALSE(alone.onTop);
}

} // namespace
