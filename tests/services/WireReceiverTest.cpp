// SPDX-License-Identifier: GPL-3.0-or-later
// The wire receive against the virtual calculator: what the PC answers on the wire, what
// the status dialog shows, and what ends up in memory.
#include <gtest/gtest.h>

#include <chrono>
#include <stop_token>

#include "services/WireReceiver.h"
#include "tests/services/TransferFixture.h"
#include "tests/support/Calcapp.h"
#include "tools/sim/XModemSenderRole.h"
#include "util/StringTable.h"
#include "util/TransferText.h"
#include "xmodem/XModemBlock.h"

using namespace testing_services;

namespace {

const ByteString kCancelThenAck("\x18\x18\x18\x18\x06", 5);

struct Outcome {
    bool success = false;
    ByteString data;
};

class WireReceive : public TransferTest {
protected:
    // Runs one receive to its end; the calculator plays its part meanwhile. Its events
    // reach the main thread and the status dialog as the transfer server delivers them.
    Outcome Receive(int timeoutMs = 30000, int startWaitMs = WireReceiver::StartWaitMs)
    {
        const TransferEventSink sink = [this](const TransferEvent& event) {
            RunInMainThread([&] {
                events.push_back(event);
                ShowOnStatusDialog(windows.dialog, event);
            });
        };
        WireReceiver rx(LinkLease(link.Program()), sink, cancel.get_token(), Str::SendByWire, 0, WireReceiver::RunIn::OwnThread,
                        startWaitMs);
        EXPECT_TRUE(WaitForThread(&rx, timeoutMs)) << "the receive did not end";
        if (!rx.isFinished()) cancel.request_stop(); // lets the destructor's wait end
        return {rx.Success, rx.ReceivedData};
    }

    const TransferEvent& End() const
    {
        static const TransferEvent none;
        EXPECT_FALSE(events.empty());
        if (events.empty()) return none;
        EXPECT_EQ(events.back().stage, TransferStage::Ended);
        return events.back();
    }

    std::stop_source cancel;           // the user's Cancel
    std::vector<TransferEvent> events; // main thread only

    // The bytes each progress report counted; the size is never announced, so every
    // report must have no total and no percentage.
    std::vector<int> ProgressDone() const
    {
        std::vector<int> done;
        for (const auto& r : windows.dialog.Reports()) {
            if (r.kind != StatusKind::Progress) continue;
            EXPECT_EQ(r.total, 0) << r.text;
            EXPECT_EQ(r.text.find('%'), std::string::npos) << r.text;
            done.push_back(r.done);
        }
        return done;
    }

    // The data the calculator sent, padded to whole blocks as the PC keeps it.
    static ByteString Padded(const ByteString& object)
    {
        ByteString out;
        for (const auto& block : sim::CalculatorBlockData(object)) {
            const std::size_t size = block.size() > xmodem::SmallDataSize ? xmodem::LargeDataSize : xmodem::SmallDataSize;
            out += block + ByteString(size - block.size(), xmodem::PadByte);
        }
        return out;
    }
};

TEST_F(WireReceive, LargeAndSmallBlockArriveCountedWithoutAFalseTotal)
{
    UseUsb();
    OpenProgramSide();
    const ByteString object = RandomBytes(1024 + 128, 7);
    auto calculator = Calculator([&] { return sim::SendObjectByWire(*calc, object); });

    const Outcome out = Receive();
    const auto sent = calculator.get();

    ASSERT_TRUE(sent.ok) << sent.error;
    EXPECT_TRUE(out.success);
    EXPECT_EQ(out.data, object);
    // USB: NAK asks for the blocks; each block and the EOT are acknowledged.
    EXPECT_EQ(HexBytes(sent.heard), "15 06 06 06");
    EXPECT_EQ(ProgressDone(), (std::vector<int>{0, 1024}));
    EXPECT_EQ(windows.dialog.Captions(), std::vector<std::string>{"Receiving by wire"});
    // While it waits for the first block the dialog says what to do on the calculator.
    ASSERT_FALSE(windows.dialog.Reports().empty());
    EXPECT_EQ(windows.dialog.Reports().front().kind, StatusKind::Connecting);
    EXPECT_EQ(windows.dialog.Reports().front().text, "Now send the Calcapp from the calculator's send menu");
    ASSERT_FALSE(windows.dialog.Reports().empty());
    EXPECT_EQ(windows.dialog.Reports().back().kind, StatusKind::Finished);
    EXPECT_FALSE(windows.dialog.IsStatusVisible());
}

TEST_F(WireReceive, SerialLineAsksWithDAndStillGetsChecksumBlocks)
{
    UsePty();
    OpenProgramSide();
    const ByteString object = RandomBytes(300, 8); // three SOH blocks, the last padded
    auto calculator = Calculator([&] { return sim::SendObjectByWire(*calc, object); });

    const Outcome out = Receive();
    const auto sent = calculator.get();

    ASSERT_TRUE(sent.ok) << sent.error;
    EXPECT_EQ(sent.startByte, 'D');
    EXPECT_TRUE(out.success);
    EXPECT_EQ(out.data, Padded(object));
    EXPECT_EQ(out.data.size(), 384u);
}

TEST_F(WireReceive, DamagedBlockIsRefusedThenAcceptedWhenSentAgain)
{
    UseUsb();
    OpenProgramSide();
    const ByteString object = RandomBytes(3 * 128, 9);
    sim::WireSendOptions options;
    options.damageOnce = {2};
    auto calculator = Calculator([&] { return sim::SendObjectByWire(*calc, object, options); });

    const Outcome out = Receive();
    const auto sent = calculator.get();

    ASSERT_TRUE(sent.ok) << sent.error;
    EXPECT_EQ(sent.naks, 1);
    EXPECT_EQ(HexBytes(sent.heard), "15 06 15 06 06 06");
    EXPECT_TRUE(out.success);
    EXPECT_EQ(out.data, object);
    // The refusal blanks the dialog's text line; the block is then counted once.
    int blanks = 0;
    for (const auto& r : windows.dialog.Reports()) blanks += r.kind == StatusKind::Notice && r.text.empty();
    EXPECT_EQ(blanks, 1);
    EXPECT_EQ(ProgressDone(), (std::vector<int>{0, 128, 128, 256}));
}

TEST_F(WireReceive, BlockThatStopsHalfWayIsRefusedAfterSixEmptyReads)
{
    UseUsb();
    OpenProgramSide();
    const ByteString data = RandomBytes(1024, 13);
    const ByteString block = xmodem::BuildBlock(xmodem::STX, 1, data, xmodem::CheckMode::Checksum);
    auto calculator = Calculator([&] {
        ByteString heard = calc->ReceiveExactly(1, 5000);
        calc->Send(block.substr(0, 500)); // then the calculator falls silent
        const auto silentFrom = std::chrono::steady_clock::now();
        heard += calc->ReceiveUntil(ByteString(1, xmodem::NAK), 15000);
        const auto silence = std::chrono::steady_clock::now() - silentFrom;
        calc->Send(block);
        heard += calc->ReceiveExactly(1, 5000);
        calc->Send(ByteString(1, xmodem::EOT));
        heard += calc->ReceiveExactly(1, 5000);
        return std::make_pair(heard, silence);
    });

    const Outcome out = Receive();
    const auto [heard, silence] = calculator.get();

    EXPECT_EQ(HexBytes(heard), "15 15 06 06");
    // Six empty reads of a second each after the one that brought the first bytes.
    EXPECT_GE(silence, std::chrono::milliseconds(5500));
    EXPECT_TRUE(out.success);
    EXPECT_EQ(out.data, data);
}

TEST_F(WireReceive, BlockArrivingInBurstsIsAssembled)
{
    UseUsb();
    OpenProgramSide();
    const ByteString object = RandomBytes(1024, 10);
    sim::WireSendOptions options;
    options.burstSize = 300;
    options.burstGapMs = 150; // longer than one pump of the reader
    auto calculator = Calculator([&] { return sim::SendObjectByWire(*calc, object, options); });

    const Outcome out = Receive();
    const auto sent = calculator.get();

    ASSERT_TRUE(sent.ok) << sent.error;
    EXPECT_EQ(sent.naks, 0);
    EXPECT_EQ(out.data, object);
}

TEST_F(WireReceive, Block256CarriesNumberZeroAndNumberingGoesOn)
{
    UseUsb();
    OpenProgramSide();
    // 256 full blocks and a small one: the wire numbers run 1..255, 0, 1.
    const ByteString object = RandomBytes(256 * 1024 + 128, 11);
    auto calculator = Calculator([&] { return sim::SendObjectByWire(*calc, object); });

    const Outcome out = Receive(60000);
    const auto sent = calculator.get();

    ASSERT_TRUE(sent.ok) << sent.error;
    EXPECT_EQ(sent.naks, 0);
    EXPECT_TRUE(out.success);
    EXPECT_EQ(out.data, object);
}

TEST_F(WireReceive, CanInPlaceOfAHeaderEndsTheReceive)
{
    UseUsb();
    OpenProgramSide();
    auto calculator = Calculator([&] {
        ByteString heard = calc->ReceiveExactly(1, 5000);
        calc->Send(ByteString(1, static_cast<char>(xmodem::CAN)));
        return heard + calc->ReceiveExactly(4, 5000);
    });

    const Outcome out = Receive();

    EXPECT_EQ(HexBytes(calculator.get()), "15 18 18 18 18");
    EXPECT_FALSE(out.success);
    EXPECT_EQ(End().outcome, TransferOutcome::Failed);
    EXPECT_EQ(End().reason, TransferReason::CalculatorCancelled);
    // The failure is said (the log keeps it), then the dialog closes.
    const auto reports = windows.dialog.Reports();
    ASSERT_EQ(reports.size(), 2u); // what to do on the calculator, then the failure
    EXPECT_EQ(reports[1].kind, StatusKind::Notice);
    EXPECT_EQ(reports[1].text, "Receive by wire failed: the calculator cancelled");
    EXPECT_FALSE(windows.dialog.IsStatusVisible());
}

// Before the first block the user is still at the calculator's menus: its silence is
// waited through (each silent read asks again) until the start wait is over, then the
// receive says "not ready" and why. Here the wait is cut to 3 s; the minute itself is
// counted on the line's clock in WireReceiverMemoryLineTest.
TEST_F(WireReceive, SilentCalculatorIsAskedUntilTheStartWaitIsOverThenNotReady)
{
    UseUsb();
    OpenProgramSide();
    auto calculator = Calculator([&] { return calc->ReceiveUntil(ByteString(1, xmodem::ACK), 20000); });

    const auto start = std::chrono::steady_clock::now();
    const Outcome out = Receive(30000, 3000);
    const auto took = std::chrono::steady_clock::now() - start;

    // The start NAK, one NAK per silent second while the wait lasts, the final ACK.
    EXPECT_EQ(HexBytes(calculator.get()), "15 15 15 06");
    EXPECT_GE(took, std::chrono::milliseconds(2900));
    EXPECT_FALSE(out.success);
    EXPECT_EQ(End().reason, TransferReason::NoAnswer);
    EXPECT_EQ(End().detail, "3 s");
    const auto reports = windows.dialog.Reports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[reports.size() - 2].text, "T20, T20+, T20s, T30s is not ready");
    EXPECT_EQ(reports.back().text, "Receive by wire failed: no answer for 3 s");
    EXPECT_EQ(reports.back().kind, StatusKind::Notice);
    EXPECT_TRUE(windows.dialog.IsStatusVisible()); // the message stays up
}

// A user who needs longer than the old six seconds at the calculator's menus: the
// receive is still there when the object comes.
TEST_F(WireReceive, ObjectSentAfterTheUserWorkedTheMenusStillArrives)
{
    UseUsb();
    OpenProgramSide();
    const ByteString object = RandomBytes(3 * 128, 14);
    auto calculator = Calculator([&] {
        // Eight NAKs: more than six seconds of silence before the object is sent.
        ByteString asked = calc->ReceiveExactly(8, 15000);
        auto sent = sim::SendObjectByWire(*calc, object);
        sent.heard = asked + sent.heard;
        return sent;
    });

    const Outcome out = Receive();
    const auto sent = calculator.get();

    ASSERT_TRUE(sent.ok) << sent.error;
    EXPECT_EQ(HexBytes(sent.heard.substr(0, 8)), "15 15 15 15 15 15 15 15");
    EXPECT_TRUE(out.success);
    EXPECT_EQ(out.data, object);
}

// Cancel while the receive waits for the first block: the calculator hears four CAN
// and the ACK at once, not after the wait.
TEST_F(WireReceive, CancelEndsTheWaitForTheFirstBlock)
{
    UseUsb();
    OpenProgramSide();
    auto calculator = Calculator([&] {
        ByteString heard = calc->ReceiveExactly(2, 5000); // the user gives up after a second
        cancel.request_stop();
        return heard + calc->ReceiveUntil(kCancelThenAck, 5000);
    });

    const auto start = std::chrono::steady_clock::now();
    const Outcome out = Receive();
    const auto took = std::chrono::steady_clock::now() - start;
    const std::string heard = HexBytes(calculator.get());

    EXPECT_LT(took, std::chrono::seconds(5)) << "the cancel waited for the start wait";
    EXPECT_EQ(heard.substr(heard.size() - HexBytes(kCancelThenAck).size()), HexBytes(kCancelThenAck)) << heard;
    EXPECT_EQ(heard.substr(0, 6), "15 15 ") << heard;
    EXPECT_FALSE(out.success);
    EXPECT_EQ(End().outcome, TransferOutcome::Cancelled);
    EXPECT_EQ(End().reason, TransferReason::UserCancelled);
}

// An object that gives its length in its header is kept without the padding of its
// last block; one that does not keeps every byte that came.
TEST_F(WireReceive, ASizedObjectIsKeptWithoutItsPadding)
{
    UseUsb();
    OpenProgramSide();
    const struct {
        const char* what;
        ByteString object;
        std::size_t kept;
    } cases[] = {
        {"sized: 2 blocks of 1024 and 4 of 128, 44 bytes of padding", CalcappOfSize(1, "DEMOAPP", 2516), 2516},
        {"not sized: the padding stays", CalcappOfSize(0, "DEMOAPP", 2516), 2560},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        events.clear();
        auto calculator = Calculator([&] { return sim::SendObjectByWire(*calc, c.object); });
        const Outcome out = Receive();
        ASSERT_TRUE(calculator.get().ok);
        ASSERT_TRUE(out.success);
        EXPECT_EQ(out.data.size(), c.kept);
        EXPECT_EQ(out.data.substr(0, c.object.size()), c.object);
        EXPECT_EQ(End().done, static_cast<int64_t>(c.kept)) << "the end counts the bytes kept";
    }
}

TEST_F(WireReceive, CancelSendsFourCanThenAckAndEndsAsTheUsersCancel)
{
    UseUsb();
    OpenProgramSide();
    const ByteString object = RandomBytes(4 * 1024, 12);
    // The user cancels while the second block comes in.
    windows.dialog.onReport = [&](const StatusReport& r) {
        if (r.kind == StatusKind::Progress && r.done == 1024) cancel.request_stop();
    };
    auto calculator = Calculator([&] {
        auto sent = sim::SendObjectByWire(*calc, object);
        sent.heard += calc->ReceiveExactly(4, 5000); // the rest of the cancel
        return sent;
    });

    const Outcome out = Receive();
    const auto sent = calculator.get();

    EXPECT_FALSE(sent.ok);
    // The second block was already being read: it is still acknowledged.
    EXPECT_EQ(HexBytes(sent.heard), "15 06 06 " + HexBytes(kCancelThenAck));
    EXPECT_FALSE(out.success);
    EXPECT_EQ(End().outcome, TransferOutcome::Cancelled);
    EXPECT_EQ(End().reason, TransferReason::UserCancelled);
    EXPECT_EQ(End().done, 2048);
}

} // namespace
