// A second start of the program: the running window comes to the front, takes the
// connection the second start names, and says so; the second process ends at once.
#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include "mainwindow/SingleInstance.h"
#include "services/TransferServer.h"
#include "tests/mainwindow/MainWindowFixture.h"
#include "windows/LogWindow.h"

namespace mwtest {
namespace {

TEST(SingleInstanceRequest, TravelsAsOneLineAndStrangeLinesAreRefused)
{
    for (const std::optional<QString>& port : {std::optional<QString>(), std::optional<QString>("/dev/ttyUSB0"),
                                               std::optional<QString>("COM1"), std::optional<QString>("/dev/pts/été 2")}) {
        const QByteArray line = SingleInstance::Encode({port});
        EXPECT_TRUE(line.endsWith('\n'));
        EXPECT_EQ(line.count('\n'), 1);
        const auto back = SingleInstance::Decode(line);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->port, port);
    }
    for (const char* bad : {"", "\n", "raise\n", "port\t\n", "port /dev/ttyS0\n", "SHOW\n"})
        EXPECT_FALSE(SingleInstance::Decode(bad)) << bad;
}

// Starts the program again, as a user would, and waits for it to end.
int StartAgain(const QStringList& arguments, QString* errors)
{
    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    second.setProcessEnvironment(environment);
    second.start(QStringLiteral(CALVYX_BINARY_DIR "/app/calvyx"), arguments);
    // The first window keeps serving its events meanwhile.
    if (!QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000)) {
        second.kill();
        second.waitForFinished(5000);
        return -1;
    }
    *errors = QString::fromLocal8Bit(second.readAllStandardError());
    return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -2;
}

TEST_F(MainWindowTest, SecondStartRaisesTheRunningWindowAndHandsItThePort)
{
    Start();
    window_->pollTimer->stop(); // the connection changes only by the request
    struct Case {
        const char* what;
        QStringList arguments;
        bool busy;
        std::string port; // the connection afterwards
        QString status;
    };
    const Case cases[] = {
        {"no port", {}, false, "QVxT0+", "Calvyx was started again; this window is the one running."},
        {"a port", {"/dev/calvyx-missing-port"}, false, "/dev/calvyx-missing-port",
         "Calvyx was started again with /dev/calvyx-missing-port; it is now the connection."},
        {"a port during a transfer", {"COM2"}, true, "/dev/calvyx-missing-port",
         "Calvyx was started again with COM2; a transfer is running, so the connection stays /dev/calvyx-missing-port."},
        {"the same port during a transfer", {"/dev/calvyx-missing-port"}, true, "/dev/calvyx-missing-port",
         "Calvyx was started again with /dev/calvyx-missing-port, which is already the connection."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window_->SetTransferBusy(c.busy);
        window_->showMinimized();
        errors_.clear();
        QString secondErrors;
        EXPECT_EQ(StartAgain(c.arguments, &secondErrors), 0);
        EXPECT_TRUE(secondErrors.isEmpty()) << secondErrors.toStdString();
        ASSERT_TRUE(WaitFor([&] { return window_->statusPanel->text() == c.status; }, 10000))
            << window_->statusPanel->text().toStdString();
        EXPECT_FALSE(window_->isMinimized()) << "brought to the front";
        EXPECT_EQ(window_->SelectedPort(), c.port);
        ASSERT_TRUE(TheLogWindow);
        EXPECT_EQ(TheLogWindow->Lines().value(TheLogWindow->Lines().size() - 1), c.status);
        // The port could not be opened: said once, as for a choice in the box.
        EXPECT_EQ(errors_.size(), c.arguments.isEmpty() || c.busy ? 0u : 1u);
        window_->SetTransferBusy(false);
    }
    // The named port is chosen in the box too; it could not be opened, and that was said.
    EXPECT_EQ(window_->connectionBox->currentText(), "/dev/calvyx-missing-port");
}

TEST_F(MainWindowTest, ARequestThatNamesNoConnectionChangesNothing)
{
    Start();
    window_->pollTimer->stop();
    ASSERT_TRUE(SingleInstance::NotifyRunning({QStringLiteral("printer")}));
    ASSERT_TRUE(WaitFor([&] { return window_->statusPanel->text().contains("which is not a connection"); }, 5000))
        << window_->statusPanel->text().toStdString();
    EXPECT_EQ(window_->SelectedPort(), "QVxT0+");
}

TEST(SingleInstanceNotify, NobodyListeningIsReportedWithinTheWait)
{
    // No window in this test: nothing listens on the socket.
    EXPECT_FALSE(SingleInstance::NotifyRunning({}, 500));
}

} // namespace
} // namespace mwtest
