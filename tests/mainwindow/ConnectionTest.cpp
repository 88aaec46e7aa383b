// SPDX-License-Identifier: GPL-3.0-or-later
// The main window against the virtual calculator: polling with the USB pipe device
// plugged and unplugged, port errors, the wire receive, the ROM load and a pushed file.
#include <atomic>
#include <functional>
#include <thread>

#include <sys/stat.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include "mainwindow/ConnectionState.h"
#include "services/ScreenImage.h"
#include "services/TransferServer.h"
#include "tests/mainwindow/MainWindowFixture.h"
#include "tests/support/FileSizeLimit.h"
#include "tools/sim/Bursts.h"
#include "tools/sim/KermitRole.h"
#include "tools/sim/RomRole.h"
#include "tools/sim/ScreenRole.h"
#include "tools/sim/XModemSenderRole.h"
#include "util/Ticks.h"
#include "util/Utils.h"
#include "windows/AboutDialog.h"
#include "windows/ClassWindow.h"
#include "windows/LogWindow.h"
#include "windows/ScreenCaptureWindow.h"
#include "windows/TransferHistory.h"
#include "windows/TransferStatusDialog.h"
#include "xmodem/XModemBlock.h"

namespace mwtest {
namespace {

ByteString CalcappObject(const std::string& name, std::size_t bodySize)
{
    ByteString object = "HDR\x01\x02\x03\x04\x05";
    object += static_cast<char>(name.size());
    object += name;
    for (std::size_t i = 0; i < bodySize; ++i) object += static_cast<char>((i * 7 + 3) & 0xFF);
    return object;
}

QString ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll().toHex()) : QString("<missing>");
}

TEST_F(MainWindowTest, PlugConnectsWithinOnePollAndUnplugDisconnectsAfterTheQuietTime)
{
    Device(false);
    ASSERT_NO_FATAL_FAILURE(Start());
    // Unplugged: every poll probes, the link stays closed, the prompt shows.
    ASSERT_TRUE(WaitPolls(3));
    EXPECT_EQ(window_->ConnState(), StateDisconnected);
    EXPECT_FALSE(window_->Server().LinkOpen());
    EXPECT_TRUE(window_->connectionBox->isEnabled());
    EXPECT_TRUE(errors_.empty());

    Device(true);
    const uint32_t plugged = Now();
    // The poll that finds the device opens it and starts the server. Opening drains the
    // pipe for four quiet rounds of up to 200 ms each, so allow for that on a busy machine.
    const int limitMs = 2 * MainWindow::PollIntervalMs + 4 * 200 + 400;
    ASSERT_TRUE(WaitFor([this] { return window_->Server().KermitServerRunning(); }, limitMs))
        << "the Kermit server did not start within one poll";
    EXPECT_LE(TicksSince(plugged), static_cast<uint32_t>(limitMs));
    EXPECT_TRUE(WaitFor([this] { return window_->ConnState() == StateConnected; }, 5000));
    EXPECT_EQ(window_->Server().PortName(), "QVxT0+");
    EXPECT_TRUE(window_->folderTree->isVisible());

    Device(false);
    // The views stay until the re-check after more than 5 s without data, counted from
    // the last data (or the open), not from the unplug: the open's drain and a busy
    // machine put an unknown time between the two. The wait looks at the state after
    // every turn of the event loop (a poll runs inside one), so the time it notes is
    // within a few milliseconds after the change: far less than a poll.
    const uint32_t quietFrom = window_->Server().LastReceiveTime();
    uint32_t disconnectedAfter = 0;
    ASSERT_TRUE(WaitFor(
        [&] {
            if (window_->ConnState() != StateDisconnected) return false;
            disconnectedAfter = TicksSince(quietFrom);
            return true;
        },
        static_cast<int>(MainWindow::QuietRecheckMs) + 6000))
        << "still connected long after the quiet time";
    EXPECT_GE(disconnectedAfter, MainWindow::QuietRecheckMs) << "disconnected before the quiet time";
    EXPECT_FALSE(window_->Server().KermitServerRunning());
    EXPECT_TRUE(window_->promptLabel->isVisible());
    EXPECT_TRUE(errors_.empty());
}

TEST_F(MainWindowTest, PortErrorIsShownOncePerChoiceAndPollingGoesOn)
{
    const QString tty = folder_.path() + "/ttyCalc";
    ASSERT_NO_FATAL_FAILURE(Start({"calvyx", tty}));
    EXPECT_EQ(window_->SelectedPort(), tty.toStdString());
    ASSERT_TRUE(WaitFor([this] { return !errors_.empty(); }, 5000));
    EXPECT_TRUE(errors_[0].contains("The connectivity kit is unable to open communications to: " + tty))
        << errors_[0].toStdString();
    EXPECT_EQ(window_->ConnState(), StateDisconnected);
    ForceRecheck();
    ASSERT_TRUE(WaitPolls(2));
    EXPECT_EQ(errors_.size(), 1u) << "the poll shows a port error once per connection choice";

    // The adapter appears: the next re-check opens it.
    auto pty = sim::CreatePtyPort();
    ASSERT_TRUE(QFile::link(QString::fromStdString(pty->ProgramPortName()), tty));
    ForceRecheck();
    ASSERT_TRUE(WaitFor([this] { return window_->ConnState() == StateConnected; }, 5000)) << "polling stopped after the error";
    EXPECT_EQ(errors_.size(), 1u);
    EXPECT_TRUE(window_->Server().KermitServerRunning());
    // A serial choice offers no USB commands.
    window_->connectionBox->setCurrentIndex(1);
    window_->UpdateControls();
    EXPECT_FALSE(window_->receiveButton->isEnabled());
}

// A pseudo-terminal that hung up is no device that comes back: the window lets it go for
// good and says why, even when a terminal of the same name appears (it may be another
// program's), and opens it again only when the user picks the connection again.
TEST_F(MainWindowTest, APseudoTerminalThatHungUpStaysClosedUntilChosenAgain)
{
    const QString tty = folder_.path() + "/ttyCalc";
    auto first = sim::CreatePtyPort();
    ASSERT_TRUE(QFile::link(QString::fromStdString(first->ProgramPortName()), tty));
    ASSERT_NO_FATAL_FAILURE(Start({"calvyx", tty}));
    ASSERT_TRUE(
        WaitFor([this] { return window_->ConnState() == StateConnected && window_->Server().KermitServerRunning(); }, 5000))
        << "the window did not connect to the pseudo-terminal";

    first->Hangup();
    ASSERT_TRUE(WaitFor([this] { return !window_->Server().LinkOpen(); }, 3 * MainWindow::PollIntervalMs + 2000))
        << "the hung-up pseudo-terminal was not let go";
    EXPECT_EQ(window_->ConnState(), StateDisconnected);
    EXPECT_FALSE(window_->Server().KermitServerRunning());
    EXPECT_TRUE(window_->statusPanel->text().contains("hung up")) << window_->statusPanel->text().toStdString();
    EXPECT_FALSE(window_->Log().Lines().filter("hung up").isEmpty());

    // Another terminal under the same name: the poll leaves it alone, re-checks included.
    auto second = sim::CreatePtyPort();
    ASSERT_TRUE(QFile::remove(tty));
    ASSERT_TRUE(QFile::link(QString::fromStdString(second->ProgramPortName()), tty));
    for (int i = 0; i < 3; ++i) {
        ForceRecheck();
        ASSERT_TRUE(WaitPolls(2));
    }
    EXPECT_FALSE(window_->Server().LinkOpen()) << "the poll opened the terminal that took the name";
    EXPECT_EQ(second->Receive(64, 100), "") << "the other terminal got bytes";
    EXPECT_TRUE(errors_.empty());

    // The user names it again (a second start with the port): it opens, although it is
    // the connection already.
    SingleInstance::Request again;
    again.port = tty;
    window_->AnotherStart(again);
    ASSERT_TRUE(
        WaitFor([this] { return window_->ConnState() == StateConnected && window_->Server().KermitServerRunning(); }, 5000))
        << "naming the connection again did not open it";
    EXPECT_TRUE(window_->statusPanel->text().contains("it is now the connection")) << window_->statusPanel->text().toStdString();

    // It hangs up again; the user picks it in the connection box: it opens.
    second->Hangup();
    ASSERT_TRUE(WaitFor([this] { return !window_->Server().LinkOpen(); }, 3 * MainWindow::PollIntervalMs + 2000));
    auto third = sim::CreatePtyPort();
    ASSERT_TRUE(QFile::remove(tty));
    ASSERT_TRUE(QFile::link(QString::fromStdString(third->ProgramPortName()), tty));
    const int item = window_->connectionBox->findText(tty);
    ASSERT_GE(item, 0) << "the second start put the name into the box";
    window_->connectionBox->setCurrentIndex(item);
    emit window_->connectionBox->activated(item);
    ASSERT_TRUE(
        WaitFor([this] { return window_->ConnState() == StateConnected && window_->Server().KermitServerRunning(); }, 5000))
        << "choosing the connection again did not open it";
}

TEST_F(MainWindowTest, ReceiveByWireSavesTheObjectUnderItsOwnName)
{
    auto& device = Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    // A whole number of blocks: the receive keeps no padding to tell apart.
    const ByteString object = CalcappObject("GRAPHS", 3 * 1024 - 15);
    sim::WireSendResult sent;
    std::thread calculator([&] { sent = sim::SendObjectByWire(device, object); });
    window_->ReceiveByWire(false);
    calculator.join();
    ASSERT_TRUE(sent.ok) << sent.error;
    ASSERT_EQ(dialogs_->saves.size(), 1u);
    EXPECT_EQ(dialogs_->saves[0].first, "Receive file from T20, T20+, T20s, T30s (By Wire)");
    const QString saved = folder_.path() + "/GRAPHS";
    EXPECT_EQ(dialogs_->saves[0].second, saved);
    EXPECT_EQ(ReadAll(saved), QString::fromLatin1(QByteArray::fromStdString(object).toHex()));
    EXPECT_TRUE(dialogs_->instructions.empty()) << "the tool bar button asks nothing first";
    EXPECT_FALSE(window_->TransferBusy());
    EXPECT_TRUE(window_->Server().ReceivedData().empty());
    EXPECT_EQ(window_->RecentFolders()[0], folder_.path());
    // The next re-check gives the link back to the Kermit server.
    ForceRecheck();
    EXPECT_TRUE(WaitFor([this] { return window_->Server().KermitServerRunning(); }, 5000));
    EXPECT_TRUE(errors_.empty());
}

// The disk is full when the object is saved: the error is shown and the save dialog comes
// back with the chosen name, so the object, which exists nowhere else, is not lost.
TEST_F(MainWindowTest, ReceiveByWireOffersTheSaveAgainWhenTheFileCannotBeWritten)
{
    auto& device = Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    const ByteString object = CalcappObject("FULL", 2 * 1024 - 13); // two whole blocks with its header
    const QString chosen = folder_.path() + "/FULL.QVA";
    WriteStringToFile("older", chosen.toStdString());
    std::optional<ScopedFileSizeLimit> fullDisk;
    dialogs_->saveAnswer = [&](const QString&) -> std::optional<QString> {
        if (dialogs_->saves.size() == 1)
            fullDisk.emplace(1024); // the first attempt hits a full disk
        else
            fullDisk.reset(); // the user has made room
        return chosen;
    };
    sim::WireSendResult sent;
    std::thread calculator([&] { sent = sim::SendObjectByWire(device, object); });
    window_->ReceiveByWire(false);
    calculator.join();
    fullDisk.reset();
    ASSERT_TRUE(sent.ok) << sent.error;
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_TRUE(errors_[0].startsWith("I/O error")) << errors_[0].toStdString();
    ASSERT_EQ(dialogs_->saves.size(), 2u);
    EXPECT_EQ(dialogs_->saves[1].second, chosen) << "the dialog comes back with the name chosen before";
    EXPECT_EQ(ReadAll(chosen), QString::fromLatin1(QByteArray::fromStdString(object).toHex()));
    EXPECT_TRUE(window_->Server().ReceivedData().empty());
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"FULL.QVA"});
}

TEST_F(MainWindowTest, ReceiveByWireFromTheMenuAsksFirstAndKeepsTheKermitServerOffTheLink)
{
    auto& device = Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    dialogs_->instructionsAnswer = false;
    window_->ReceiveByWire(true);
    EXPECT_EQ(dialogs_->instructions, std::vector<SetupInstructions>{SetupInstructions::SendCalcappByWire});
    EXPECT_TRUE(window_->Server().KermitServerRunning()) << "declined: nothing changes";

    dialogs_->instructionsAnswer = true;
    const ByteString object = CalcappObject("SLOW", 20 * 128 - 13);
    sim::WireSendOptions slow;
    slow.burstSize = 128;
    slow.burstGapMs = 40; // a receive of a few seconds: polls run meanwhile
    bool kermitDuringReceive = false;
    int busySeen = 0;
    bool clickedAgain = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        // A second click while the receive waits must not start another on the link.
        if (!clickedAgain) {
            clickedAgain = true;
            window_->ReceiveByWire(false);
        }
        ForceRecheck(); // the poll would re-check and restart the server if it could
        kermitDuringReceive = kermitDuringReceive || window_->Server().KermitServerRunning();
        if (window_->ConnState() == StateBusy) ++busySeen;
    });
    sim::WireSendResult sent;
    std::thread calculator([&] { sent = sim::SendObjectByWire(device, object, slow); });
    watch.start(50);
    window_->ReceiveByWire(true);
    watch.stop();
    calculator.join();
    ASSERT_TRUE(sent.ok) << sent.error;
    EXPECT_FALSE(kermitDuringReceive);
    EXPECT_GT(busySeen, 0);
    EXPECT_TRUE(clickedAgain);
    EXPECT_EQ(dialogs_->saves.size(), 1u) << "one receive, one save";
    EXPECT_EQ(ReadAll(folder_.path() + "/SLOW"), QString::fromLatin1(QByteArray::fromStdString(object).toHex()));
    EXPECT_TRUE(errors_.empty());
}

// A transfer fixes the connection at once (its wait serves events); the commands that
// need the link stay offered and say why they wait instead of starting.
TEST_F(MainWindowTest, TransferStartFixesTheConnectionAtOnce)
{
    Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    window_->pollTimer->stop(); // only the transfer's own report may change the state
    window_->SetTransferBusy(true);
    EXPECT_EQ(window_->ConnState(), StateBusy);
    EXPECT_FALSE(window_->connectionBox->isEnabled());
    EXPECT_TRUE(window_->folderTree->isEnabled());
    window_->receiveButton->click();
    EXPECT_EQ(window_->statusPanel->text(), "A transfer is running; try again after it");
    EXPECT_FALSE(window_->StatusDialog().isVisible()) << "a second receive started";
    window_->SetTransferBusy(false);
    EXPECT_EQ(window_->ConnState(), StateConnected);
    EXPECT_TRUE(window_->connectionBox->isEnabled());
    window_->pollTimer->start();
}

TEST_F(MainWindowTest, CancelledSaveDiscardsTheObjectAndAFailedWriteIsReported)
{
    auto& device = Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    dialogs_->saveAnswer = [](const QString&) { return std::nullopt; };
    std::thread calculator([&] { sim::SendObjectByWire(device, CalcappObject("NOPE", 100)); });
    window_->ReceiveByWire(false);
    calculator.join();
    EXPECT_EQ(dialogs_->saves.size(), 1u);
    EXPECT_FALSE(QFileInfo::exists(folder_.path() + "/NOPE"));

    // A folder that does not exist: the error is shown and the dialog asks again, where
    // the user gives up this time.
    dialogs_->saveAnswer = [this](const QString&) -> std::optional<QString> {
        if (dialogs_->saves.size() == 2) return folder_.path() + "/no/such/folder/file";
        return std::nullopt;
    };
    std::thread again([&] { sim::SendObjectByWire(device, CalcappObject("LOST", 100)); });
    window_->Guarded([this] { window_->ReceiveByWire(false); });
    again.join();
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(dialogs_->saves.size(), 3u);
    EXPECT_TRUE(window_->Server().ReceivedData().empty());
    EXPECT_FALSE(window_->TransferBusy());
}

// A receive the calculator never answers leaves its dialog up with the reason; the
// failure's message closes it first, so the message is never under it and the window
// is not left behind a dialog that waits for Cancel.
TEST_F(MainWindowTest, AFailedReceiveClosesItsDialogBeforeTheMessage)
{
    Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    bool dialogUpAtMessage = true;
    dialogs_->onMessage = [this, &dialogUpAtMessage] { dialogUpAtMessage = window_->StatusDialog().isVisible(); };
    window_->Server().SetWireStartWait(2000); // not the user's minute
    window_->ReceiveByWire(false);            // the calculator sends nothing
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_TRUE(dialogs_->messages[0].second.startsWith("Receive by wire failed: no answer"))
        << dialogs_->messages[0].second.toStdString();
    EXPECT_FALSE(dialogUpAtMessage) << "the message box was shown beside the status dialog";
    EXPECT_FALSE(window_->StatusDialog().isVisible());
    EXPECT_FALSE(window_->TransferBusy());
    // The history has its row with the reason.
    ASSERT_GE(window_->History().Count(), 1);
    EXPECT_TRUE(window_->History()
                    .CellText(window_->History().Count() - 1, TransferHistory::OutcomeColumn)
                    .startsWith("Failed: no answer"));
}

TEST_F(MainWindowTest, RomDownloadSendsTheChosenFile)
{
    auto& device = Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    ByteString rom;
    for (int i = 0; i < 9000; ++i) rom += static_cast<char>((i * 13) & 0xFF);
    const QString file = folder_.path() + "/new os.bin";
    WriteStringToFile(rom, file.toStdString());
    dialogs_->openAnswer = file;
    sim::RomLoadResult loaded;
    std::thread calculator([&] { loaded = sim::ReceiveRomStream(device, rom, 10000, 3000); });
    window_->SendRom();
    calculator.join();
    ASSERT_TRUE(loaded.ok) << loaded.error;
    EXPECT_EQ(loaded.declaredLength, rom.size());
    ASSERT_EQ(dialogs_->opens.size(), 1u);
    EXPECT_EQ(dialogs_->opens[0].first, "Download ROM");
    EXPECT_EQ(dialogs_->opens[0].second, "ROM Files (*.bin *.BIN);;All Files (*)");
    EXPECT_EQ(dialogs_->instructions, std::vector<SetupInstructions>{SetupInstructions::LoadRom});
    // The load ends with a word that it worked, in the log as well.
    const QString done = "ROM loaded: 9.0 kB";
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0], std::make_pair(QString("Download ROM"), done));
    EXPECT_EQ(window_->Log().Lines().filter(done).size(), 1);
    EXPECT_FALSE(window_->TransferBusy());
    EXPECT_TRUE(errors_.empty());
}

TEST_F(MainWindowTest, RomDownloadFailureIsReportedWithThePath)
{
    Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    // Cancelled dialogs do nothing.
    window_->SendRom();
    dialogs_->openAnswer = folder_.path() + "/x.bin";
    {
        QFile rom(*dialogs_->openAnswer);
        ASSERT_TRUE(rom.open(QIODevice::WriteOnly));
        rom.write("ROM");
    }
    dialogs_->instructionsAnswer = false;
    window_->SendRom();
    EXPECT_TRUE(dialogs_->messages.empty());
    EXPECT_EQ(dialogs_->instructions.size(), 1u);
    EXPECT_TRUE(window_->Server().KermitServerRunning());

    // A file that cannot be read: the load fails and says which file, before the
    // calculator is set for it.
    dialogs_->instructionsAnswer = true;
    const QString path = folder_.path() + "/dir with blank/été.bin";
    dialogs_->openAnswer = path;
    window_->SendRom();
    EXPECT_EQ(dialogs_->instructions.size(), 1u) << "instructions shown for a file that cannot be a ROM";
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0].first, "Download Error");
    // Which file, and why: the reason follows the message.
    const QString text = dialogs_->messages[0].second;
    EXPECT_TRUE(text.startsWith("Download of ROM file \r\n" + path + "\r\nfailed.\n\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("Unable to open")) << text.toStdString();
    EXPECT_FALSE(window_->Log().Lines().filter("ROM load failed: ").isEmpty());
    EXPECT_FALSE(window_->TransferBusy());
}

// A file that cannot be a ROM is refused before the set-up instructions: the user is
// never asked to put the calculator into its ROM-load mode for nothing, and the link
// stays with the Kermit server.
TEST_F(MainWindowTest, RomFileIsCheckedBeforeTheInstructions)
{
    Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    const QString empty = folder_.path() + "/empty.bin";
    QFile(empty).open(QIODevice::WriteOnly);
    const QString folder = folder_.path() + "/folder.bin";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString fifo = folder_.path() + "/fifo.bin";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        QString path;
        const char* why;
    } cases[] = {
        {folder_.path() + "/missing.bin", "Unable to open"},
        {empty, "is empty"},
        {folder, "is a folder"},
        {fifo, "is not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        dialogs_->messages.clear();
        dialogs_->instructions.clear();
        dialogs_->openAnswer = c.path;
        window_->SendRom();
        EXPECT_TRUE(dialogs_->instructions.empty()) << "the instructions came before the check";
        ASSERT_EQ(dialogs_->messages.size(), 1u);
        EXPECT_EQ(dialogs_->messages[0].first, "Download Error");
        EXPECT_TRUE(dialogs_->messages[0].second.contains(c.path)) << dialogs_->messages[0].second.toStdString();
        EXPECT_TRUE(dialogs_->messages[0].second.contains(c.why)) << dialogs_->messages[0].second.toStdString();
        EXPECT_FALSE(window_->Log().Lines().filter("ROM load failed: ").filter(c.why).isEmpty());
        EXPECT_TRUE(window_->Server().KermitServerRunning());
        EXPECT_FALSE(window_->TransferBusy());
    }
}

TEST_F(MainWindowTest, ReceiveByWireCutOffSaysWhyAndSavesNothing)
{
    auto& device = Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    // The calculator answers the start byte with one good block, then cancels.
    std::string why;
    std::thread calculator([&] {
        if (device.Receive(1, 10000).empty()) {
            why = "no start byte from the PC";
            return;
        }
        const auto blocks = sim::CalculatorBlockData(CalcappObject("CUT", 400));
        device.Send(xmodem::BuildBlock(xmodem::SOH, 1, blocks[0], xmodem::CheckMode::Checksum));
        if (device.ReceiveUntil(ByteString(1, static_cast<char>(xmodem::ACK)), 5000).empty()) why = "block 1 not acknowledged";
        device.Send(ByteString(1, static_cast<char>(xmodem::CAN)));
    });
    window_->ReceiveByWire(false);
    calculator.join();
    ASSERT_TRUE(why.empty()) << why;
    const std::pair<QString, QString> told{"Receive file from T20, T20+, T20s, T30s (By Wire)",
                                           "Receive by wire failed: the calculator cancelled"};
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0], told);
    EXPECT_TRUE(dialogs_->saves.empty()) << "nothing to save";
    EXPECT_FALSE(window_->Log().Lines().filter(told.second).isEmpty());
    EXPECT_FALSE(window_->TransferBusy());
}

TEST_F(MainWindowTest, PushedFileLandsInTheChosenFolderAndTheWindowShowsBusy)
{
    auto& device = Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    ByteString data;
    for (int i = 0; i < 5000; ++i) data += static_cast<char>(i & 0xFF);
    sim::KermitResult pushed;
    int busySeen = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] { busySeen += window_->ConnState() == StateBusy; });
    watch.start(20);
    std::atomic<bool> done{false};
    std::thread calculator([&] {
        sim::KermitCalculator calc(device);
        pushed = calc.PushFile("PUSHED.CAP", data);
        done = true;
    });
    // The main thread keeps serving the engine's status reports meanwhile.
    const bool finished = WaitFor([&] { return done.load(); }, 20000);
    calculator.join();
    ASSERT_TRUE(finished);
    ASSERT_TRUE(pushed.ok) << pushed.error;
    EXPECT_GT(busySeen, 0);
    EXPECT_EQ(ReadAll(folder_.path() + "/PUSHED.CAP"), QString::fromLatin1(QByteArray::fromStdString(data).toHex()));
    EXPECT_EQ(window_->RecentFolders()[0], folder_.path());
    EXPECT_TRUE(WaitFor([this] { return window_->ConnState() == StateConnected; }, 6000)) << "idle again after the transfer";
}

// The calculator unplugged and back within less than the quiet time: the window must not
// keep talking to the pipes of the device that went away.
TEST_F(MainWindowTest, FastReplugIsFollowedAndTheNextPushArrives)
{
    auto& device = Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    for (const int gapMs : {100, 300, 500}) {
        SCOPED_TRACE("replugged after " + std::to_string(gapMs) + " ms");
        device.Unplug();
        QTest::qWait(gapMs); // how long the user keeps it unplugged: the case, not an order
        device.Plug();
        const ByteString data(700, static_cast<char>('a' + gapMs / 100));
        const QString name = QString("REPLUG%1.TXT").arg(gapMs);
        sim::KermitResult pushed;
        std::atomic<bool> done{false};
        std::thread calculator([&] {
            // A calculator that tries for 8 s in all: far less than the quiet time and
            // the stale-transfer limit together, which a deaf window would need.
            sim::KermitOptions options;
            options.replyTimeoutMs = 1000;
            options.tries = 8;
            sim::KermitCalculator calc(device, options);
            pushed = calc.PushFile(name.toStdString(), data);
            done = true;
        });
        const bool finished = WaitFor([&] { return done.load(); }, 20000);
        calculator.join();
        ASSERT_TRUE(finished);
        ASSERT_TRUE(pushed.ok) << pushed.error;
        EXPECT_EQ(ReadAll(folder_.path() + "/" + name), QString::fromLatin1(QByteArray::fromStdString(data).toHex()));
    }
    EXPECT_TRUE(WaitFor([this] { return window_->ConnState() == StateConnected; }, 6000));
    EXPECT_TRUE(errors_.empty());
}

TEST_F(MainWindowTest, PushedScreenOpensCaptureWindowWithThePicture)
{
    auto& device = Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    MonoBitmap screen;
    ASSERT_TRUE(sim::PatternScreen("corners", screen));
    // Right after a file push, before the Kermit server reports itself idle again: the
    // screen ends the server, and the window must not stay busy for it.
    std::atomic<bool> sent{false}, pushed{false};
    std::thread calculator([&] {
        pushed = sim::KermitCalculator(device).PushFile("FIRST.QVA", "first").ok;
        if (pushed) sent = sim::SendInBursts(device, EncodeScreen(screen, PushedScreenHeader), 256, 5);
    });
    // The capture window is modal: it is looked at and closed from inside its own loop.
    bool opened = false, drawn = false;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        ScreenCaptureWindow* capture = window_->CaptureWindow();
        if (!capture || !capture->isVisible()) return;
        opened = true;
        const QImage& picture = capture->Picture();
        const int b = capture->BorderWidth();
        // The corner pixels of the screen are black inside the frame.
        drawn = !picture.isNull() && picture.pixelColor(2 * b, 2 * b) == Qt::black &&
                picture.pixelColor(2 * b + 130, 2 * b + 63) == Qt::black &&
                picture.pixelColor(2 * b + 60, 2 * b + 30) == Qt::white;
        if (drawn) capture->close();
    });
    look.start(50);
    const bool closed = WaitFor([&] { return drawn && !window_->CaptureWindow()->isVisible(); }, 10000);
    look.stop();
    calculator.join();
    EXPECT_TRUE(pushed.load());
    EXPECT_TRUE(sent.load());
    EXPECT_TRUE(opened) << "the poll did not open the capture window";
    EXPECT_TRUE(closed) << "the pushed screen was not drawn";
    // The Kermit server takes the link again at the next re-check; the window is usable.
    ForceRecheck();
    EXPECT_TRUE(WaitFor([this] { return window_->Server().KermitServerRunning(); }, 5000));
    EXPECT_TRUE(WaitFor([this] { return window_->ConnState() == StateConnected; }, 5000)) << "stuck in the busy state";
    EXPECT_FALSE(window_->TransferBusy());
    EXPECT_TRUE(errors_.empty());
}

// While the capture window is open it has the link: the status bar says so instead of
// "Device connected", and the calculator's files go through again as soon as it closes,
// without waiting for the presence re-check.
TEST_F(MainWindowTest, CaptureWindowSaysItHoldsTheLinkAndFilesGoThroughOnceItCloses)
{
    auto& device = Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    const QString connected = window_->statusPanel->text();
    ASSERT_TRUE(connected.startsWith("Device connected")) << connected.toStdString();
    QString whileOpen;
    bool serverWhileOpen = true;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        // Closed once its reader has the link.
        ScreenCaptureWindow* capture = window_->CaptureWindow();
        if (!capture || !capture->isVisible() || !capture->Receiver()) return;
        whileOpen = window_->statusPanel->text();
        serverWhileOpen = window_->Server().KermitServerRunning();
        capture->close();
    });
    look.start(20);
    ScreenCaptureWindow* capture = window_->CaptureWindow();
    QTimer::singleShot(15000, capture, [capture] { capture->close(); }); // bound: never stuck here
    window_->captureAction->trigger();                                   // modal: returns when the window has closed
    look.stop();
    EXPECT_EQ(whileOpen, "Screen capture window is listening; files wait until it closes");
    EXPECT_FALSE(serverWhileOpen);
    EXPECT_TRUE(window_->Server().KermitServerRunning()) << "the Kermit server waits for the next re-check";
    EXPECT_TRUE(window_->Server().LinkOpen()) << "the capture closed the link and nobody opened it again";
    EXPECT_EQ(window_->statusPanel->text(), connected);

    std::atomic<bool> done{false};
    sim::KermitResult pushed;
    std::thread calculator([&] {
        pushed = sim::KermitCalculator(device).PushFile("AFTER.CAP", "after the capture");
        done = true;
    });
    const bool finished = WaitFor([&] { return done.load(); }, 20000);
    calculator.join();
    ASSERT_TRUE(finished);
    EXPECT_TRUE(pushed.ok) << pushed.error;
    EXPECT_EQ(ReadAll(folder_.path() + "/AFTER.CAP"), QString::fromLatin1(QByteArray("after the capture").toHex()));
    EXPECT_TRUE(errors_.empty());
}

TEST_F(MainWindowTest, ConnectionChoiceShowsItsOwnErrorAndThePollDoesNotRepeatIt)
{
    Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    // A serial adapter listed in the box that has gone since: the choice reports it once.
    const QString gone = folder_.path() + "/ttyUSB9";
    window_->connectionBox->addItem(gone);
    window_->connectionBox->setCurrentIndex(window_->connectionBox->count() - 1);
    window_->Guarded([this] { window_->ConnectionChosen(); });
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_TRUE(errors_[0].startsWith("Error(The connectivity kit is unable to open communications to: " + gone + ")"))
        << errors_[0].toStdString();
    EXPECT_EQ(window_->SelectedPort(), gone.toStdString());
    EXPECT_FALSE(window_->Server().KermitServerRunning());
    ForceRecheck();
    ASSERT_TRUE(WaitPolls(3));
    EXPECT_EQ(errors_.size(), 1u);
    EXPECT_EQ(window_->ConnState(), StateDisconnected);
    // Back to the USB device: connected again, and no message.
    window_->connectionBox->setCurrentIndex(0);
    window_->Guarded([this] { window_->ConnectionChosen(); });
    ForceRecheck();
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    EXPECT_EQ(errors_.size(), 1u);
}

TEST_F(MainWindowTest, AboutWindowShowsBrieflyAtFirstActivation)
{
    startupAbout_ = true;
    bool seen = false;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] { seen = seen || (window_ && window_->About().isVisible()); });
    look.start(20);
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_TRUE(WaitFor([&] { return seen; }, 3000)) << "no About window at start-up";
    EXPECT_TRUE(WaitFor([this] { return !window_->About().isVisible(); }, 3000)) << "the About window did not close itself";
    EXPECT_TRUE(window_->StartupAboutDone());
    ASSERT_TRUE(WaitFor([this] { return !window_->aboutTimer->isActive(); }, 5000)) << "the About steps did not end";
    // A second activation: another window takes the focus, then the main window again.
    // Its handling starts the About steps anew or not at all.
    seen = false;
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other, 5000));
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get(), 5000));
    EXPECT_FALSE(window_->aboutTimer->isActive()) << "shown once per window";
    EXPECT_FALSE(seen) << "shown once per window";
}

// Exiting while the calculator pushes a file asks first, by every way of exiting. No
// leaves the transfer running to its end; Yes stops the Kermit server (the transfer with
// it) and then closes the window.
TEST_F(MainWindowTest, ExitDuringAKermitTransferAsksAndStopsItOnYes)
{
    auto& device = Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    ByteString data;
    for (int i = 0; i < 12000; ++i) data += static_cast<char>((i * 13) & 0xFF);
    const QString question = "A transfer is in progress. Stop it and exit?";

    sim::KermitOptions paced;
    paced.paceReceived = true;
    sim::KermitResult pushed;
    std::atomic<bool> done{false};
    // Joined on every way out of the test, a failed assertion included.
    std::jthread calculator([&] {
        sim::KermitCalculator calc(device, paced);
        pushed = calc.PushFile("KEPT.CAP", data);
        done = true;
    });
    ASSERT_TRUE(WaitFor([this] { return window_->TransferBusy(); }, 10000));
    dialogs_->confirmAnswer = false;
    const std::vector<std::pair<const char*, std::function<void()>>> exits = {
        {"tool button", [this] { window_->exitButton->click(); }},
        {"menu", [this] { window_->exitAction->trigger(); }},
        {"window close", [this] { window_->close(); }},
    };
    for (const auto& [route, exit] : exits) {
        const std::size_t asked = dialogs_->confirms.size();
        exit();
        ASSERT_EQ(dialogs_->confirms.size(), asked + 1) << route;
        EXPECT_EQ(dialogs_->confirms.back(), question) << route;
        EXPECT_TRUE(window_->isVisible()) << route;
        EXPECT_EQ(endProcessCalls_, 0) << route;
        EXPECT_TRUE(window_->Server().KermitServerRunning()) << route;
    }
    const bool finished = WaitFor([&] { return done.load(); }, 60000);
    calculator.join();
    ASSERT_TRUE(finished);
    ASSERT_TRUE(pushed.ok) << pushed.error << " (declined: the transfer goes on)";
    EXPECT_EQ(ReadAll(folder_.path() + "/KEPT.CAP"), QString::fromLatin1(QByteArray::fromStdString(data).toHex()));

    // Yes: the transfer stops and the program ends.
    ASSERT_TRUE(WaitFor([this] { return window_->ConnState() == StateConnected; }, 6000));
    sim::KermitOptions impatient = paced;
    impatient.replyTimeoutMs = 500;
    impatient.tries = 2;
    done = false;
    std::jthread again([&] {
        sim::KermitCalculator calc(device, impatient);
        pushed = calc.PushFile("STOPPED.CAP", data);
        done = true;
    });
    ASSERT_TRUE(WaitFor([this] { return window_->TransferBusy(); }, 10000));
    dialogs_->confirmAnswer = true;
    const std::size_t asked = dialogs_->confirms.size();
    window_->exitButton->click();
    EXPECT_EQ(dialogs_->confirms.size(), asked + 1);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(endProcessCalls_, 1);
    EXPECT_FALSE(window_->Server().KermitServerRunning());
    const bool gaveUp = WaitFor([&] { return done.load(); }, 20000);
    again.join();
    ASSERT_TRUE(gaveUp);
    EXPECT_FALSE(pushed.ok) << "the stopped server answered no more";
}

// The same while the window receives an object by wire: No lets it finish and offers the
// save; Yes cancels the receive, asks nothing more and closes the window when it is over.
TEST_F(MainWindowTest, ExitDuringAReceiveByWireAsksAndCancelsItOnYes)
{
    for (const bool stop : {false, true}) {
        SCOPED_TRACE(stop ? "Yes" : "No");
        auto& device = Device(true);
        ASSERT_NO_FATAL_FAILURE(Start());
        ASSERT_NO_FATAL_FAILURE(WaitConnected());
        dialogs_->confirmAnswer = stop;
        // Long enough (80 blocks, 40 ms apart) that the cancel, asked for at the first
        // tick of the busy state, lands before the end even on a loaded machine.
        const ByteString object = CalcappObject("LONG", 80 * 128 - 13);
        sim::WireSendOptions slow;
        slow.burstSize = 128;
        slow.burstGapMs = 40;
        bool closeTried = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (closeTried || !window_->TransferBusy()) return;
            closeTried = true;
            window_->close();
        });
        sim::WireSendResult sent;
        std::jthread calculator([&] { sent = sim::SendObjectByWire(device, object, slow); });
        watch.start(50);
        window_->ReceiveByWire(false);
        watch.stop();
        calculator.join();
        ASSERT_TRUE(closeTried);
        ASSERT_EQ(dialogs_->confirms.size(), 1u);
        EXPECT_EQ(dialogs_->confirms[0], "A transfer is in progress. Stop it and exit?");
        if (stop) {
            EXPECT_FALSE(sent.ok) << "the receive was cancelled";
            EXPECT_TRUE(dialogs_->saves.empty());
            EXPECT_TRUE(WaitFor([this] { return !window_->isVisible(); }, 5000)) << "closed once the receive returned";
            EXPECT_EQ(endProcessCalls_, 1);
            EXPECT_FALSE(QFileInfo::exists(folder_.path() + "/LONG"));
        } else {
            ASSERT_TRUE(sent.ok) << sent.error;
            EXPECT_EQ(dialogs_->saves.size(), 1u);
            EXPECT_EQ(ReadAll(folder_.path() + "/LONG"), QString::fromLatin1(QByteArray::fromStdString(object).toHex()));
            ASSERT_TRUE(WaitEventLoopTurn()); // a deferred close would have come by now
            EXPECT_TRUE(window_->isVisible());
            EXPECT_EQ(endProcessCalls_, 0);
            QFile::remove(folder_.path() + "/LONG");
        }
        EXPECT_FALSE(window_->TransferBusy());
        window_->close();
        window_.reset();
        endProcessCalls_ = 0;
    }
}

// Cancelling the save dialog after a receive asks before the object, which exists nowhere
// else, is thrown away: No brings the dialog back, Yes discards it.
TEST_F(MainWindowTest, CancelledSaveAsksBeforeDiscardingTheObject)
{
    struct Case {
        const char* name;
        std::vector<bool> answers; // to the discard question, in turn
        int saves;                 // save dialogs shown
        bool saved;
    };
    const Case cases[] = {
        {"discarded at once", {true}, 1, false},
        {"kept, then saved", {false}, 2, true},
        {"kept twice, then discarded", {false, false, true}, 3, false},
    };
    auto& device = Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs_->saves.clear();
        dialogs_->confirms.clear();
        const QString saved = folder_.path() + "/KEEP";
        QFile::remove(saved);
        dialogs_->saveAnswer = [&](const QString& proposed) -> std::optional<QString> {
            // Cancelled while an answer to the question is left to give; then saved.
            if (dialogs_->confirms.size() < c.answers.size()) return std::nullopt;
            return proposed;
        };
        // Each question takes the next answer of the case.
        dialogs_->confirmScript = [&](const QString&) { return c.answers.at(dialogs_->confirms.size() - 1); };
        const ByteString object = CalcappObject("KEEP", 1024 - 13); // one whole block: no padding to tell apart
        std::jthread calculator([&] { sim::SendObjectByWire(device, object); });
        window_->ReceiveByWire(false);
        calculator.join();
        EXPECT_EQ(dialogs_->saves.size(), std::size_t(c.saves));
        EXPECT_EQ(dialogs_->confirms.size(), c.answers.size());
        for (const QString& q : dialogs_->confirms) EXPECT_EQ(q, "Discard the received object? It has not been saved anywhere.");
        EXPECT_EQ(QFileInfo::exists(saved), c.saved);
        if (c.saved) {
            EXPECT_EQ(ReadAll(saved), QString::fromLatin1(QByteArray::fromStdString(object).toHex()));
        }
        EXPECT_TRUE(window_->Server().ReceivedData().empty());
        ForceRecheck();
        ASSERT_TRUE(WaitFor([this] { return window_->Server().KermitServerRunning(); }, 5000));
    }
    EXPECT_TRUE(errors_.empty());
}

// View > Class: the window lets its calculator go and the class view serves it in a row
// of its own; a command of the one calculator is refused meanwhile; closing the class
// view gives the window its calculator back.
TEST_F(MainWindowTest, TheClassViewTakesTheCalculatorAndGivesItBack)
{
    Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    window_->SetCalculatorFinder([] { return std::vector<std::string>{"QVxT0+"}; });
    window_->classAction->trigger();
    ASSERT_TRUE(window_->ClassMode());
    ClassWindow* view = window_->ClassView();
    ASSERT_TRUE(view && view->isVisible());
    EXPECT_TRUE(window_->classAction->isChecked());
    EXPECT_FALSE(window_->Server().LinkOpen()) << "the window kept its calculator's link";
    const auto rowState = [view] {
        const int row = view->Table().RowOf("QVxT0+");
        return row < 0 ? QStringLiteral("(no row)") : view->Table().At(row).state;
    };
    ASSERT_TRUE(WaitFor([&] { return rowState() == "Connected"; }, 5000)) << rowState().toStdString();

    window_->ReceiveByWire(false);
    EXPECT_TRUE(dialogs_->instructions.empty());
    EXPECT_FALSE(window_->Server().LinkOpen()) << "a command of the one calculator took the class's link";

    view->close();
    EXPECT_FALSE(window_->ClassMode());
    EXPECT_FALSE(window_->classAction->isChecked());
    EXPECT_EQ(view->Table().rowCount(), 0);
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    EXPECT_TRUE(errors_.empty());
}

} // namespace
} // namespace mwtest
