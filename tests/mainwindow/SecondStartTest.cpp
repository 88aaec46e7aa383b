// SPDX-License-Identifier: GPL-3.0-or-later
// A second start of the program: the running window comes to the front, takes the
// connection the second start names, and says so; the second process ends at once.
#include <algorithm>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLocalSocket>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include "mainwindow/SingleInstance.h"
#include "services/TransferServer.h"
#include "tests/mainwindow/MainWindowFixture.h"
#include "windows/ErrorBox.h"
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
    ASSERT_NO_FATAL_FAILURE(Start());
    window_->pollTimer->stop(); // the connection changes only by the request
    struct Case {
        const char* what;
        QStringList arguments;
        bool busy;
        std::string port; // the connection afterwards
        QString status;
        QString log; // the log's line, when it says more than the status bar has room for
    };
    const Case cases[] = {
        {"no port", {}, false, "QVxT0+", "Calvyx was started again; this window is the one running.", {}},
        {"a port",
         {"/dev/calvyx-missing-port"},
         false,
         "/dev/calvyx-missing-port",
         "Calvyx was started again with /dev/calvyx-missing-port; it is now the connection.",
         {}},
        {"a port during a transfer",
         {"COM2"},
         true,
         "/dev/calvyx-missing-port",
         "Not switched to COM2: a transfer is running",
         "Calvyx was started again with COM2; a transfer is running, so the connection stays /dev/calvyx-missing-port."},
        {"the same port during a transfer",
         {"/dev/calvyx-missing-port"},
         true,
         "/dev/calvyx-missing-port",
         "Calvyx was started again with /dev/calvyx-missing-port, which is already the connection.",
         {}},
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
        EXPECT_EQ(window_->Log().Lines().value(window_->Log().Lines().size() - 1), c.log.isEmpty() ? c.status : c.log);
        if (!c.log.isEmpty()) {
            // Refused during a transfer: the status bar's words fit it.
            const int wanted = QFontMetrics(window_->statusPanel->font()).horizontalAdvance(c.status);
            EXPECT_LE(wanted, window_->statusPanel->width()) << c.status.toStdString();
        }
        // The port could not be opened: said once, as for a choice in the box.
        EXPECT_EQ(errors_.size(), c.arguments.isEmpty() || c.busy ? 0u : 1u);
        window_->SetTransferBusy(false);
    }
    // The named port is chosen in the box too; it could not be opened, and that was said.
    EXPECT_EQ(window_->connectionBox->currentText(), "/dev/calvyx-missing-port");
}

// The program ends without tearing its window down: the window lets go of the start-up
// lock and its socket as it closes, and the runtime folder is left as it was found.
TEST_F(MainWindowTest, ACleanExitRemovesTheStartUpLockAndItsSocket)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    const QString lock = SingleInstance::LockPath();
    const QString socket = SingleInstance::SocketPath();
    ASSERT_TRUE(QFileInfo::exists(lock));
    ASSERT_TRUE(QFileInfo::exists(socket));
    ASSERT_TRUE(window_->close());
    EXPECT_EQ(endProcessCalls_, 1);
    EXPECT_FALSE(QFileInfo::exists(lock)) << "the lock stayed";
    EXPECT_FALSE(QFileInfo::exists(socket)) << "the socket stayed";
    SingleInstance next;
    EXPECT_EQ(next.Acquire(), SingleInstance::Outcome::Acquired);
}

// Only the holder removes them: a second start that found the lock taken leaves the
// running instance's lock and socket as they are.
TEST(SingleInstanceFiles, ReleaseRemovesOnlyWhatThisInstanceHolds)
{
    SingleInstance running;
    ASSERT_EQ(running.Acquire(), SingleInstance::Outcome::Acquired);
    QString error;
    ASSERT_TRUE(running.Listen([](const SingleInstance::Request&) {}, &error)) << error.toStdString();
    {
        SingleInstance second;
        EXPECT_EQ(second.Acquire(), SingleInstance::Outcome::AlreadyRunning);
        second.Release();
    }
    EXPECT_TRUE(QFileInfo::exists(SingleInstance::LockPath()));
    EXPECT_TRUE(QFileInfo::exists(SingleInstance::SocketPath()));
    QLocalSocket peer;
    peer.connectToServer(SingleInstance::SocketPath());
    EXPECT_TRUE(peer.waitForConnected(2000)) << "the running instance no longer listens";
    peer.abort();
    running.Release();
    EXPECT_FALSE(QFileInfo::exists(SingleInstance::LockPath()));
    EXPECT_FALSE(QFileInfo::exists(SingleInstance::SocketPath()));
}

TEST_F(MainWindowTest, ARequestThatNamesNoConnectionChangesNothing)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    window_->pollTimer->stop();
    ASSERT_TRUE(SingleInstance::NotifyRunning({QStringLiteral("printer")}));
    ASSERT_TRUE(WaitFor([&] { return window_->statusPanel->text().contains("which is not a connection"); }, 5000))
        << window_->statusPanel->text().toStdString();
    EXPECT_EQ(window_->SelectedPort(), "QVxT0+");
}

// Each second start that names a port which cannot be opened ends in an error box. While
// one is open, more requests wait, merged, and only the last port is taken, after the box
// closed: one box at a time, never a box inside another one's event loop.
TEST_F(MainWindowTest, SecondStartsWhileAnErrorBoxIsOpenWaitAndTheLastPortFollows)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    window_->pollTimer->stop(); // the connection changes only by the requests
    constexpr int Requests = 200;
    const auto portNamed = [](int n) { return QStringLiteral("/dev/calvyx-missing-%1").arg(n); };
    int open = 0;
    int deepest = 0;
    int sent = 0;
    std::vector<QString> boxes;
    SetApplicationErrorHandler([&](const QString& text) {
        boxes.push_back(text);
        deepest = std::max(deepest, ++open);
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Calvyx"), text, QMessageBox::Ok, window_.get());
        QTimer turn;
        if (boxes.size() == 1) {
            // The first box stays open while the other requests come, one a turn of its
            // event loop, and until the last of them waits.
            QElapsedTimer since;
            since.start();
            QObject::connect(&turn, &QTimer::timeout, &box, [&] {
                if (sent < Requests) {
                    ++sent;
                    EXPECT_TRUE(SingleInstance::NotifyRunning({portNamed(sent)}));
                } else if ((window_->WaitingStart() && window_->WaitingStart()->port == portNamed(Requests)) ||
                           since.elapsed() > 30000) {
                    box.accept();
                }
            });
            turn.start(1);
        } else {
            QTimer::singleShot(0, &box, &QDialog::accept);
        }
        box.exec();
        --open;
    });
    ASSERT_TRUE(SingleInstance::NotifyRunning({portNamed(0)}));
    ASSERT_TRUE(WaitFor([&] { return boxes.size() >= 2 && open == 0; }, 60000)) << boxes.size() << " boxes, " << open << " open";
    EXPECT_EQ(sent, Requests);
    EXPECT_EQ(deepest, 1) << "a box opened inside another";
    ASSERT_EQ(boxes.size(), 2u) << "the requests that waited were not merged";
    EXPECT_TRUE(boxes[0].contains(portNamed(0))) << boxes[0].toStdString();
    EXPECT_TRUE(boxes[1].contains(portNamed(Requests))) << boxes[1].toStdString();
    EXPECT_EQ(window_->SelectedPort(), portNamed(Requests).toStdString());
    EXPECT_FALSE(window_->WaitingStart());
    EXPECT_EQ(window_->statusPanel->text(),
              QStringLiteral("Calvyx was started again with %1; it is now the connection.").arg(portNamed(Requests)));
}

// A plain "show" that comes after a port keeps the port asked for; a later port wins.
TEST_F(MainWindowTest, RequestsThatWaitAreMergedAndTheLastPortWins)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    window_->pollTimer->stop();
    std::vector<QString> boxes;
    SetApplicationErrorHandler([&](const QString& text) { boxes.push_back(text); });
    QMessageBox dialog(QMessageBox::Information, QStringLiteral("Calvyx"), QStringLiteral("open"), QMessageBox::Ok,
                       window_.get());
    dialog.setModal(true);
    dialog.show();
    ASSERT_TRUE(QApplication::activeModalWidget());
    window_->SecondStartArrived({QStringLiteral("/dev/calvyx-first")});
    window_->SecondStartArrived({QStringLiteral("/dev/calvyx-second")});
    window_->SecondStartArrived({});
    ASSERT_TRUE(window_->WaitingStart()) << "answered with a dialog open";
    EXPECT_EQ(window_->WaitingStart()->port, QStringLiteral("/dev/calvyx-second"));
    EXPECT_EQ(window_->SelectedPort(), "QVxT0+");
    dialog.accept();
    ASSERT_TRUE(WaitFor([&] { return !window_->WaitingStart(); }, 5000)) << "still waiting after the dialog closed";
    EXPECT_EQ(window_->SelectedPort(), "/dev/calvyx-second");
    EXPECT_EQ(boxes.size(), 1u);
}

// A request line is at most SingleInstance::MaxLineBytes long with its line feed; a
// longer one is dropped whole instead of being cut and taken for a shorter port.
TEST_F(MainWindowTest, AnOverLongRequestLineIsDroppedWhole)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    window_->pollTimer->stop();
    const QByteArray head = "port\t/dev/calvyx-";
    const auto lineOf = [&](qsizetype length) { return head + QByteArray(length - head.size() - 1, 'x') + '\n'; };
    struct Case {
        const char* what;
        qsizetype length; // with the line feed
        bool taken;
    };
    const Case cases[] = {
        {"a byte too long", SingleInstance::MaxLineBytes + 1, false},
        {"far too long", 100000, false},
        {"as long as may be", SingleInstance::MaxLineBytes, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string before = window_->SelectedPort();
        const QByteArray line = lineOf(c.length);
        QLocalSocket peer;
        peer.connectToServer(SingleInstance::SocketPath());
        ASSERT_TRUE(peer.waitForConnected(2000));
        peer.write(line);
        // The window hangs up once it has read the line or given up on it.
        ASSERT_TRUE(WaitFor([&] { return peer.state() == QLocalSocket::UnconnectedState; }, 5000)) << "the window kept the peer";
        // A request sent after it is answered after it.
        window_->statusPanel->clear();
        ASSERT_TRUE(SingleInstance::NotifyRunning({}));
        ASSERT_TRUE(WaitFor(
            [&] { return window_->statusPanel->text() == "Calvyx was started again; this window is the one running."; }, 5000))
            << window_->statusPanel->text().toStdString();
        const std::string port = line.mid(5, line.size() - 6).toStdString();
        const std::string& now = window_->SelectedPort();
        if (c.taken)
            EXPECT_TRUE(now == port) << "the connection is " << now.size() << " bytes long, the line named " << port.size();
        else
            EXPECT_TRUE(now == before) << "a connection " << now.size() << " bytes long was taken from a cut line";
    }
}

TEST(SingleInstanceNotify, NobodyListeningIsReportedWithinTheWait)
{
    // No window in this test: nothing listens on the socket.
    EXPECT_FALSE(SingleInstance::NotifyRunning({}, 500));
}

} // namespace
} // namespace mwtest
