// The transfer status dialog: what each kind of report does to it and to the log.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "tests/support/ScopedSettings.h"
#include "util/MainThread.h"
#include "windows/LogWindow.h"
#include "windows/TransferStatusDialog.h"

namespace {

class TransferStatusDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        log = std::make_unique<LogWindow>();
        TheLogWindow = log.get();
    }
    void TearDown() override
    {
        TheLogWindow = nullptr;
        TransferStatusDialog::SetCenterForm(nullptr);
    }
    ScopedSettings settings;
    std::unique_ptr<LogWindow> log;
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
        {StatusKind::Finished, "", 0, 0, false, 1, 0},
    };
    for (const Case& c : cases) {
        log->ClearLog();
        status.OpenStatus("Receiving X", true);
        status.UpdateStatus({c.text, c.kind, c.done, c.total});
        EXPECT_EQ(status.statusText->text(), c.text) << "kind " << static_cast<int>(c.kind);
        EXPECT_EQ(status.isVisible(), c.visibleAfter) << "kind " << static_cast<int>(c.kind);
        EXPECT_EQ(status.IsStatusVisible(), c.visibleAfter) << "kind " << static_cast<int>(c.kind);
        EXPECT_EQ(status.progressBar->maximum(), c.barMax) << "kind " << static_cast<int>(c.kind);
        EXPECT_EQ(status.progressBar->value(), c.barPos) << "kind " << static_cast<int>(c.kind);
        QString expected = QString::fromLatin1(c.text);
        EXPECT_EQ(log->Lines(), expected.replace("\r\n", "\n").split('\n')) << "kind " << static_cast<int>(c.kind);
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
    EXPECT_EQ(log->Lines(), QStringList({"a", "b"}));
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
    EXPECT_EQ(log->Lines(), QStringList({"shown"}));
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
    EXPECT_TRUE(log->Lines().isEmpty());
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
    EXPECT_EQ(log->Lines(), QStringList({"block 1", "block 2", "block 3", ""}));
}

TEST_F(TransferStatusDialogTest, CentresOnTheMainWindow)
{
    EXPECT_EQ(CenteredOrigin(QRect(100, 50, 600, 400), QSize(210, 120)), QPoint(295, 190));
    QWidget main;
    main.setGeometry(100, 50, 600, 400);
    TransferStatusDialog::SetCenterForm(&main);
    status.OpenStatus("Receiving E", true);
    const QRect frame = status.frameGeometry();
    EXPECT_EQ(frame.left(), 100 + (main.frameGeometry().width() - frame.width()) / 2);
    EXPECT_EQ(frame.top(), main.frameGeometry().top() + (main.frameGeometry().height() - frame.height()) / 2);
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
