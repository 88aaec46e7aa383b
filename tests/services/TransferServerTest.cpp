// SPDX-License-Identifier: GPL-3.0-or-later
// The transfer server: port selection as the main window's polling uses it, its failure
// texts, and the two transfers it runs itself, against the virtual calculator.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include <QFileInfo>
#include <QTimer>

#include "kermit/KermitServer.h"
#include "services/RomSender.h"
#include "services/TransferServer.h"
#include "tests/services/TransferFixture.h"
#include "tests/support/Serving.h"
#include "tools/sim/KermitRole.h"
#include "tools/sim/RomRole.h"
#include "tools/sim/XModemSenderRole.h"
#include "util/CalvyxError.h"
#include "util/StringTable.h"
#include "xmodem/XModemBlock.h"

using namespace testing_services;

namespace {

class TransferServerTest : public TransferTest {
protected:
    void SetUp() override
    {
        TransferTest::SetUp();
        server = std::make_unique<TransferServer>(windows.Host());
        server->SetOnStatus([this](const std::string& text) { statuses.push_back(text); });
    }
    void TearDown() override
    {
        server.reset();
        TransferTest::TearDown();
    }

    // The error text a call raised, or "" when it raised none.
    template <class Fn>
    static std::string ErrorOf(Fn fn)
    {
        try {
            fn();
        } catch (const CalvyxError& e) {
            return e.what();
        }
        return "";
    }

    std::unique_ptr<TransferServer> server;
    std::vector<std::string> statuses;
};

TEST_F(TransferServerTest, SelectPortOpensOnceWhateverTheLetterCase)
{
    UseUsb();
    server->SelectPort("qvxt0+");
    ASSERT_TRUE(server->LinkOpen());
    EXPECT_EQ(server->PortName(), "QVxT0+");
    EXPECT_EQ(statuses, (std::vector<std::string>{"Opening port: QVxT0+", "Device connected on QVxT0+"}));

    server->SelectPort("QVxT0+");

    EXPECT_EQ(statuses.size(), 2u) << "the open port was opened again";
}

TEST_F(TransferServerTest, SelectPortReopensTheLinkAfterTheCaptureClosedIt)
{
    UseUsb();
    server->SelectPort("QVxT0+");
    server->LendLink()->Close(); // the screen capture leaves the link closed
    statuses.clear();

    server->SelectPort("QVxT0+");

    EXPECT_TRUE(server->LinkOpen());
    EXPECT_EQ(statuses, (std::vector<std::string>{"Opening port: QVxT0+", "Device connected on QVxT0+"}));
}

TEST_F(TransferServerTest, PortThatCannotBeOpenedRaisesAndClearsTheSelection)
{
    UseUsb();
    usb->Unplug();
    const std::string missingTty = dir.filePath("ttyNone").toStdString();
    for (const std::string& name : {std::string("QVxT0+"), missingTty}) {
        SCOPED_TRACE(name);
        statuses.clear();
        const std::string error = ErrorOf([&] { server->SelectPort(name); });
        EXPECT_EQ(error, "Error(The connectivity kit is unable to open communications to: " + name + ")");
        EXPECT_EQ(server->PortName(), "");
        EXPECT_EQ(server->StatusText(), "");
        ASSERT_FALSE(statuses.empty());
        EXPECT_EQ(statuses.back(), "");
        EXPECT_FALSE(server->LinkOpen());
    }
    const std::string error = ErrorOf([&] { server->OpenPortDirect(missingTty); });
    EXPECT_EQ(error, "Error(The connectivity kit is unable to open communications to: " + missingTty + ")");
    EXPECT_FALSE(server->LinkOpen());
}

TEST_F(TransferServerTest, OpenPortDirectRefusesAutoAndReopensOtherwise)
{
    UseUsb();
    server->SelectPort("QVxT0+");
    statuses.clear();

    EXPECT_FALSE(server->OpenPortDirect("auto"));
    EXPECT_FALSE(server->LinkOpen());
    ASSERT_EQ(windows.host.messages.size(), 1u);
    EXPECT_EQ(windows.host.messages[0].first, "Com Setting Error");
    EXPECT_EQ(windows.host.messages[0].second, "Com port cannot be auto for this operation");

    EXPECT_TRUE(server->OpenPortDirect("qvxt0+"));
    EXPECT_TRUE(server->LinkOpen());
    EXPECT_EQ(statuses, (std::vector<std::string>{"Opening Comm QVxT0+", "Device connected on QVxT0+"}));
}

TEST_F(TransferServerTest, ReceiveObjectKeepsTheDataOnlyWhenItSucceeded)
{
    UseUsb();
    server->SelectPort(ProgramPortName());
    const ByteString object = RandomBytes(1024 + 3 * 128, 21);
    auto calculator = Calculator([&] { return sim::SendObjectByWire(*calc, object); });
    // The main window's polling runs while the receive waits; it must not put the
    // Kermit server on the link the receive is using.
    bool startedDuringReceive = false;
    windows.dialog.onReport = [&](const StatusReport&) {
        server->StartKermitServer();
        startedDuringReceive |= server->KermitServerRunning();
    };

    EXPECT_TRUE(server->ReceiveObject(Str::SendByWire, 0));
    EXPECT_TRUE(calculator.get().ok);
    EXPECT_FALSE(startedDuringReceive);
    windows.dialog.onReport = nullptr;
    EXPECT_EQ(server->ReceivedData(), object);
    EXPECT_EQ(statuses.back(), "Receiving by wire");

    // The next one is cancelled by the calculator: nothing of the old object remains.
    auto cancelling = Calculator([&] {
        const ByteString start = calc->ReceiveExactly(1, 5000);
        calc->Send(ByteString(1, static_cast<char>(xmodem::CAN)));
        return start;
    });
    EXPECT_FALSE(server->ReceiveObject(Str::SendByWire, 0));
    EXPECT_EQ(HexBytes(cancelling.get()), "15");
    EXPECT_TRUE(server->ReceivedData().empty());
}

// A stop asked for while the receive is starting (showing its status serves events,
// where the window's close arrives) must reach the receiver once it exists.
TEST_F(TransferServerTest, AStopDuringTheReceiveStartCancelsIt)
{
    UseUsb();
    server->SelectPort(ProgramPortName());
    const ByteString object = RandomBytes(20 * 128, 23);
    auto calculator = Calculator([&] { return sim::SendObjectByWire(*calc, object); });
    server->SetOnStatus([this](const std::string& text) {
        if (text == "Receiving by wire") server->CancelTransfer();
    });
    EXPECT_FALSE(server->ReceiveObject(Str::SendByWire, 0));
    const sim::WireSendResult sent = calculator.get();
    EXPECT_FALSE(sent.ok) << "the calculator was told to stop";
    EXPECT_TRUE(server->ReceivedData().empty());
    EXPECT_TRUE(server->LastReceiveError().empty()) << "the user's own stop needs no explanation";
}

TEST_F(TransferServerTest, ReceiveWithoutALinkFailsAtOnce)
{
    // The toolbar's receive with the device unplugged: the port could not be opened.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(server->ReceiveObject(Str::SendByWire, 0));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(server->ReceivedData().empty());
    ASSERT_FALSE(windows.dialog.Reports().empty());
    EXPECT_EQ(windows.dialog.Reports().back().text, "Receive by wire failed: link lost");
    EXPECT_EQ(server->LastReceiveError(), "link lost");
    EXPECT_FALSE(windows.dialog.IsStatusVisible());
}

TEST_F(TransferServerTest, DownloadRomWaitsForTheInstructionsAndUsesItsOwnDialog)
{
    UseUsb();
    ASSERT_TRUE(server->OpenPortDirect("QVxT0+"));
    const ByteString rom = RandomBytes(5000, 22);
    const std::string path = WriteTempFile("os.bin", rom);
    using Clock = std::chrono::steady_clock;
    std::atomic<Clock::rep> instructionsClosed{0};
    windows.host.instructionsVisible = true;
    QTimer::singleShot(300, [&] {
        instructionsClosed = Clock::now().time_since_epoch().count();
        windows.host.instructionsVisible = false;
    });
    auto calculator = Calculator([&] {
        const ByteString first = calc->ReceiveExactly(1, 10000);
        const auto firstByteAt = Clock::now().time_since_epoch().count();
        ByteString rest = calc->ReceiveExactly(rom.size() + 3, 10000);
        return std::make_pair(firstByteAt, first + rest);
    });

    EXPECT_TRUE(server->SendRom(path));
    const auto [firstByteAt, wire] = calculator.get();

    EXPECT_GE(firstByteAt, instructionsClosed.load()) << "the stream began before the instructions were closed";
    EXPECT_EQ(wire, RomLengthPrefix(5000) + rom);
    EXPECT_EQ(windows.host.busyChanges, (std::vector<bool>{true, false}));
    ASSERT_EQ(windows.host.createdDialogs.size(), 1u);
    const auto* own = windows.host.createdDialogs[0];
    EXPECT_EQ(own->Captions(), std::vector<std::string>{"Copying " + path});
    const auto reports = own->Reports();
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports.front().text, "Connecting ...");
    EXPECT_EQ(reports.back().kind, StatusKind::Finished);
    EXPECT_TRUE(windows.dialog.Reports().empty()) << "the global dialog is not the ROM update's";
    EXPECT_EQ(statuses.back(), "");
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Copying os.bin"), statuses.end());
    EXPECT_FALSE(server->LinkOpen());
}

TEST_F(TransferServerTest, FailedDownloadRomClearsTheBusyFlagAndKeepsTheDialog)
{
    UseUsb();
    ASSERT_TRUE(server->OpenPortDirect("QVxT0+"));
    const std::string path = dir.filePath("missing.bin").toStdString();

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(server->SendRom(path));
    // Nothing waits in the main thread before the dialog opens: a refused file ends at once.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(800));

    EXPECT_EQ(windows.host.busyChanges, (std::vector<bool>{true, false}));
    ASSERT_EQ(windows.host.createdDialogs.size(), 1u);
    EXPECT_TRUE(windows.host.createdDialogs[0]->IsStatusVisible());
    EXPECT_EQ(windows.host.createdDialogs[0]->Reports().back().text, "Connecting ...");
    EXPECT_NE(server->LastRomError().find("Unable to open file"), std::string::npos);
    EXPECT_FALSE(server->LinkOpen());
}

// The ROM dialog's Cancel stops the load as Ctrl-C does: no chunk goes out after it, and
// the load ends as the user's.
TEST_F(TransferServerTest, TheRomDialogsCancelStopsTheLoad)
{
    UseUsb();
    ASSERT_TRUE(server->OpenPortDirect("QVxT0+"));
    constexpr std::size_t Size = 64 * RomSender::ChunkSize;
    const std::string path = WriteTempFile("big.bin", RandomBytes(Size, 23));
    ASSERT_EQ(windows.host.createdDialogs.size(), 1u);
    RecordingStatusDialog* own = windows.host.createdDialogs[0];
    own->onReport = [own](const StatusReport& r) {
        if (r.kind == StatusKind::Progress && r.done > 0) own->Cancel();
    };
    std::vector<TransferEvent> events;
    server->SetOnTransferEvent([&](const TransferEvent& e) { events.push_back(e); });
    auto calculator = Calculator([&] { return calc->ReceiveExactly(Size + 4, 1000).size(); });

    EXPECT_FALSE(server->SendRom(path));
    EXPECT_EQ(server->LastRomError(), RomSender::RomLoadStoppedText);
    EXPECT_LE(calculator.get(), 2 * RomSender::ChunkSize) << "chunks went out after the Cancel";
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().outcome, TransferOutcome::Cancelled);
    EXPECT_EQ(events.back().reason, TransferReason::UserCancelled);
    EXPECT_FALSE(server->LinkOpen());
}

TEST_F(TransferServerTest, KermitServerFollowsFolderAndStopsWithThePort)
{
    UseUsb();
    server->SelectPort("QVxT0+");
    server->SetFolder("/first");
    int activity = 0;
    server->SetOnKermitActivity([&](KermitServer*) { ++activity; });

    server->StartKermitServer();
    ASSERT_TRUE(server->KermitServerRunning());
    EXPECT_EQ(server->Kermit()->Folder(), "/first");
    server->SetFolder("/second");
    EXPECT_EQ(server->Kermit()->Folder(), "/second");
    EXPECT_TRUE(server->Kermit()->OnActivity);

    server->SelectPort("");

    EXPECT_FALSE(server->KermitServerRunning());
    EXPECT_FALSE(server->LinkOpen());
    EXPECT_EQ(server->PortName(), "");
    EXPECT_EQ(activity, 0);
}

// The Kermit server's transfers reach the dialog as events, and the dialog's Cancel
// reaches the running server as a call: the calculator hears E, the transfer ends as the
// user's.
TEST_F(TransferServerTest, TheDialogsCancelReachesTheKermitServer)
{
    UseUsb();
    server->SelectPort("QVxT0+");
    server->SetFolder(dir.path().toStdString());
    std::vector<TransferEvent> events;
    server->SetOnTransferEvent([&](const TransferEvent& e) { events.push_back(e); });
    windows.dialog.onReport = [&](const StatusReport& r) {
        if (r.kind == StatusKind::Progress && r.done > 0) windows.dialog.Cancel();
    };
    server->StartKermitServer();
    ASSERT_TRUE(server->KermitServerRunning());
    auto push = Calculator([&] { return sim::KermitCalculator(*calc).PushFile("BIG.BIN", RandomBytes(3000, 4)); });
    ASSERT_TRUE(ServeUntil([&] { return push.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 30000));
    const sim::KermitResult r = push.get();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "Canceled by PC");
    ASSERT_FALSE(windows.dialog.Captions().empty());
    EXPECT_EQ(windows.dialog.Captions().back(), "Receiving BIG.BIN");
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().stage, TransferStage::Started);
    EXPECT_EQ(events.back().stage, TransferStage::Ended);
    EXPECT_EQ(events.back().reason, TransferReason::UserCancelled);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("BIG.BIN")));
}

} // namespace
