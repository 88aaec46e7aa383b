// SPDX-License-Identifier: GPL-3.0-or-later
// The libusb backend of the link against a calculator played in a umockdev test bed:
// opening and claiming, refusals the user must understand, a dialogue, packets read
// whole, a silent line, a calculator that stops taking data or is unplugged, and the
// close.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "link/LibUsbBackend.h"
#include "link/Link.h"
#include "link/LinkErrors.h"
#include "link/PortName.h"
#include "link/UsbPipes.h"
#include "services/TransferServer.h"
#include "tests/support/LinkFixtures.h"
#include "tests/support/Watchdog.h"
#include "tools/sim/FakeCalculator.h"
#include "util/CalvyxError.h"
#include "util/Ticks.h"

namespace {

using Clock = std::chrono::steady_clock;
using fakeusb::DeviceShape;
using fakeusb::FakeCalculator;
using namespace std::chrono_literals;

ByteString Pattern(std::size_t n, int seed)
{
    ByteString out(n, '\0');
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<char>((i * 37 + static_cast<std::size_t>(seed) * 11 + 5) & 0xFF);
    return out;
}

bool AllWholePackets(const std::vector<int>& lengths, int packet)
{
    for (const int n : lengths)
        if (n <= 0 || n % packet != 0) return false;
    return !lengths.empty();
}

std::string Lengths(const std::vector<int>& lengths)
{
    std::string out;
    for (const int n : lengths) out += std::to_string(n) + " ";
    return out;
}

class UsbDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fakeusb::InMockEnvironment()) << "tests_usb must run under umockdev-wrapper (ctest's launcher does it)";
    }

    FakeCalculator& Plug(DeviceShape shape = {})
    {
        calc = std::make_unique<FakeCalculator>(shape);
        return *calc;
    }
    void OpenLink(Link& which) { which.Open(calc->PortName(), LinkBaud); }

    // Declared first, so that the links close before the calculator goes.
    std::unique_ptr<FakeCalculator> calc;
    Link link;
};

// ---- Opening -------------------------------------------------------------------------

TEST_F(UsbDevice, OpenFindsTheCalculatorInterfaceClaimsItAndKeepsOneWholePacketReadQueued)
{
    struct Case {
        const char* what;
        DeviceShape shape;
        int interfaceNumber;
        int detaches;
    };
    const Case cases[] = {
        {"full speed", {{0x1e3a, 0x0401}, 64, false, false}, 0, 0},
        {"high speed", {{0x1e3a, 0x0402}, 512, false, false}, 0, 0},
        {"a HID interface first", {{0x1e3a, 0x0403}, 64, true, false}, 1, 0},
        {"a kernel driver bound", {{0x1e3a, 0x0404}, 64, false, true}, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        {
            Link opened;
            Plug(c.shape);
            ASSERT_NO_THROW(OpenLink(opened));
            EXPECT_EQ(opened.Kind(), LinkKind::Usb);
            EXPECT_EQ(opened.Timing().ReceiveSettleDelay, UsbProfile.ReceiveSettleDelay);
            EXPECT_EQ(calc->ClaimedInterface(), c.interfaceNumber);
            EXPECT_EQ(calc->Detaches(), c.detaches);
            // The drain at open started reading: one IN transfer, whole packets.
            EXPECT_TRUE(opened.ReaderRunning());
            EXPECT_EQ(calc->InPending(), 1);
            EXPECT_EQ(calc->InSubmits(), 1);
            EXPECT_TRUE(AllWholePackets(calc->InLengths(), c.shape.packetSize)) << Lengths(calc->InLengths());
        }
        EXPECT_FALSE(calc->Claimed()) << "the interface was not released at close";
        calc.reset();
    }
}

TEST_F(UsbDevice, PortNamesOpenTheDeviceWhateverTheirLetterCase)
{
    Plug({{0xabcd, 0xef01}, 64, false, false});
    for (const char* name : {"usb:abcd:ef01", "USB:ABCD:EF01", "Usb:AbCd:eF01"}) {
        SCOPED_TRACE(name);
        ASSERT_NO_THROW(link.Open(UpperCasePortName(name), LinkBaud));
        EXPECT_TRUE(calc->Claimed());
        link.Close();
        EXPECT_FALSE(calc->Claimed());
    }
}

// ---- Refusals the user must be able to act on ---------------------------------------

TEST_F(UsbDevice, AFailedOpenSaysWhyWhenTheUserCanDoSomethingAboutIt)
{
    enum class Setup { OtherDevice, SecondOpener, NoPermission };
    struct Case {
        const char* what;
        Setup setup;
        const char* reason; // in the LinkError's reason and the transfer server's error; "" none
        LinkErrorKind kind;
    };
    const Case cases[] = {
        {"no such device", Setup::OtherDevice, "", LinkErrorKind::NotFound},
        {"claimed by another program", Setup::SecondOpener, "in use by another program", LinkErrorKind::Busy},
        {"no permission", Setup::NoPermission, "70-calvyx.rules", LinkErrorKind::NoPermission},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Plug();
        Link first;
        std::string name = calc->PortName();
        if (c.setup == Setup::OtherDevice) name = "usb:0bad:0bad";
        if (c.setup == Setup::SecondOpener) {
            ASSERT_NO_THROW(OpenLink(first));
        }
        if (c.setup == Setup::NoPermission) calc->DenyAccess();
        {
            fakeusb::NoFileOverride noOverride; // root too must meet the permissions
            Link second;
            std::string reason = "(it opened)";
            try {
                second.Open(name, LinkBaud);
            } catch (const LinkError& e) {
                reason = e.Reason();
                EXPECT_EQ(e.Kind(), c.kind) << LinkErrorKindName(e.Kind());
            }
            EXPECT_FALSE(second.IsOpen());
            if (*c.reason) {
                EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
            } else {
                EXPECT_EQ(reason, "");
            }

            // The transfer server shows the reason in its open error.
            TransferServer server;
            std::string shown;
            try {
                server.SelectPort(name);
            } catch (const CalvyxError& e) {
                shown = e.what();
            }
            EXPECT_EQ(shown, OpenErrorText(name, reason));
            if (*c.reason) {
                EXPECT_NE(shown.find(c.reason), std::string::npos) << shown;
            }
        }
        if (c.setup == Setup::NoPermission) {
            const std::string text = UsbNoPermissionText(calc->Shape().id);
            EXPECT_NE(text.find("ATTR{idVendor}==\"1e3a\""), std::string::npos) << text;
            EXPECT_NE(text.find("TAG+=\"uaccess\""), std::string::npos) << text;
        }
        if (c.setup == Setup::SecondOpener) {
            EXPECT_TRUE(first.IsOpen()) << "the refused opener disturbed the first";
            EXPECT_EQ(calc->Claims(), 1);
        }
        first.Close();
        calc.reset();
    }
}

// ---- Presence ------------------------------------------------------------------------

TEST_F(UsbDevice, PresenceIsSeenByEnumerationAloneAndEndsWithTheUnplug)
{
    Plug();
    const UsbId id = calc->Shape().id;
    EXPECT_TRUE(UsbDeviceAttached(id));
    EXPECT_TRUE(UsbDevicePresent(UpperCasePortName(calc->PortName())));
    EXPECT_FALSE(UsbDeviceAttached({id.vendor, static_cast<uint16_t>(id.product + 1)}));
    EXPECT_EQ(calc->Claims(), 0) << "the probe claimed the device";
    EXPECT_EQ(calc->InSubmits(), 0) << "the probe read from the device";
    calc->Unplug();
    EXPECT_FALSE(UsbDeviceAttached(id));
    EXPECT_FALSE(UsbDevicePresent(UpperCasePortName(calc->PortName())));
}

// ---- A dialogue --------------------------------------------------------------------

TEST_F(UsbDevice, EachWriteIsOneOutTransferAndTheAnswerComesBack)
{
    struct Case {
        const char* what;
        ByteString sent;
        bool asBlock; // a ROM chunk: WriteBlock with the caller's stall limit
        ByteString answer;
    };
    const Case cases[] = {
        {"a command", "PING", false, "PONG"},
        {"a ROM chunk", Pattern(2048, 1), true, ByteString(1, '\x06')},
        {"an answer of several packets", "SEND", false, Pattern(300, 2)},
        {"a large write", Pattern(5000, 3), false, "OK"},
    };
    Plug().Answer([&](const ByteString& out) {
        for (const auto& c : cases)
            if (out == c.sent) return c.answer;
        return ByteString("?");
    });
    OpenLink(link);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::size_t before = calc->OutTransfers().size();
        if (c.asBlock) {
            EXPECT_EQ(WriteBlockResult(link, c.sent.data(), c.sent.size(), 30000), "complete");
        } else {
            ASSERT_NO_THROW(link.Write(c.sent));
        }
        const auto transfers = calc->OutTransfers();
        ASSERT_EQ(transfers.size(), before + 1) << "one write, one OUT transfer";
        EXPECT_TRUE(transfers.back() == c.sent);
        ByteString reply(c.answer.size(), '\0');
        EXPECT_EQ(link.Read(reply, 1000), static_cast<int>(c.answer.size()));
        EXPECT_TRUE(reply == c.answer);
    }
    EXPECT_EQ(calc->InDiscards(), 0);
}

// ---- Reading packets -----------------------------------------------------------------

TEST_F(UsbDevice, PacketsAreReadWholeAndComeInWithoutWaitingForMore)
{
    struct Case {
        const char* what;
        int packetSize;
        std::vector<std::size_t> packets; // sizes; 0 is a zero-length packet
        std::size_t piece;                // bytes asked for per read
    };
    const Case cases[] = {
        {"100 bytes as 64 + 36", 64, {64, 36}, 100},
        {"exactly 64 bytes, no zero-length packet", 64, {64}, 64},
        {"64 bytes and a zero-length packet", 64, {64, 0}, 64},
        {"128 bytes as two full packets", 64, {64, 64}, 128},
        {"three packets read in pieces across them", 64, {64, 64, 20}, 37},
        {"high speed: 600 bytes as 512 + 88", 512, {512, 88}, 600},
        {"high speed: exactly 512 bytes", 512, {512}, 512},
    };
    int seed = 10;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Link reading;
        Plug({{0x1e3a, 0x0401}, c.packetSize, false, false});
        OpenLink(reading);
        ByteString expected;
        std::vector<ByteString> packets;
        for (const std::size_t n : c.packets) {
            packets.push_back(Pattern(n, ++seed));
            expected += packets.back();
        }
        const auto start = Clock::now();
        calc->SendPackets(packets);
        ByteString got;
        for (int reads = 0; got.size() < expected.size() && reads < 20; ++reads) {
            ByteString part(c.piece, '\0');
            const int n = reading.Read(part, 1000);
            if (n <= 0) break;
            got += part.substr(0, static_cast<std::size_t>(n));
        }
        EXPECT_EQ(got.size(), expected.size());
        EXPECT_TRUE(got == expected);
        EXPECT_LT(MsSince(start), 500) << "the data waited for a packet that never came";
        // A zero-length packet after the data is taken by the next transfer.
        EXPECT_TRUE(calc->WaitUntil([&] { return calc->PacketsLeft() == 0; }, 1s)) << "packets never read";
        EXPECT_TRUE(AllWholePackets(calc->InLengths(), c.packetSize)) << Lengths(calc->InLengths());
        EXPECT_EQ(calc->InDiscards(), 0);
        reading.Close();
        calc.reset();
    }
}

// ---- A silent line -------------------------------------------------------------------

TEST_F(UsbDevice, ASilentReadWaitsItsIdleTimeWithItsOneTransferLeftQueued)
{
    struct Case {
        int timeoutMs;
        long atLeastMs;
        long belowMs;
    };
    // The pipe device's timings: idle time in steps of 100 ms, a fresh idle clock one
    // step more.
    const Case cases[] = {{1000, 900, 1600}, {10, 90, 450}, {300, 290, 800}};
    Plug();
    OpenLink(link);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.timeoutMs);
        link.RestartIdleClock();
        ByteString buffer(8, 'x');
        const auto start = Clock::now();
        EXPECT_EQ(link.Read(buffer, c.timeoutMs), 0);
        const long ms = MsSince(start);
        EXPECT_GE(ms, c.atLeastMs);
        EXPECT_LT(ms, c.belowMs);
        EXPECT_EQ(buffer, ByteString(8, '\0'));
        EXPECT_EQ(calc->InSubmits(), 1) << "the read was submitted again";
        EXPECT_EQ(calc->InDiscards(), 0) << "the read was cancelled on a time-out";
        EXPECT_EQ(calc->InPending(), 1);
    }
    // Data that comes after a read gave up is there for the next one.
    calc->Send("late");
    ByteString late(4, '\0');
    EXPECT_EQ(link.Read(late, 1000), 4);
    EXPECT_EQ(late, "late");
}

TEST_F(UsbDevice, ReadCancelEndsAWaitingReadWithinAboutOneStep)
{
    Plug();
    OpenLink(link);
    calc->Send("ab");
    // Nothing tells another thread that the read has begun, and a cancel from before the
    // read is dropped when it begins. So the stopper cancels every 50 ms until the read
    // has returned: the first cancel the read sees must end it within about one step,
    // long before its idle limit.
    Watchdog readEnded;
    std::atomic<long> firstCancelAt{-1};
    const auto start = Clock::now();
    std::thread stopper([&] {
        while (!readEnded.WaitFor(50ms)) {
            long none = -1;
            firstCancelAt.compare_exchange_strong(none, MsSince(start));
            link.CancelRead();
        }
    });
    ByteString buffer(10, '\0');
    const int got = link.Read(buffer, 1000);
    const long endedAt = MsSince(start);
    readEnded.Done();
    stopper.join();
    EXPECT_EQ(got, 2);
    ASSERT_GE(firstCancelAt, 0) << "the read ended before any cancel";
    EXPECT_LT(endedAt, 700) << "the read ran towards its idle limit: the cancels did not end it";
    EXPECT_LT(endedAt - firstCancelAt, 250 + 50) << "cancel took more than about one step";
    EXPECT_EQ(calc->InDiscards(), 0) << "a cancelled read must leave the transfer queued";
    EXPECT_EQ(calc->InPending(), 1);
}

// ---- A read endpoint in trouble ------------------------------------------------------

TEST_F(UsbDevice, AFailingReadIsRetriedAfterAPauseAndTheLineRecovers)
{
    struct Case {
        const char* what;
        int error;
        bool clearsHalt;
    };
    const Case cases[] = {
        {"the endpoint stalls", EPIPE, true},
        {"a bus error", EPROTO, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Link program;
        Plug();
        OpenLink(program);
        const int before = calc->InSubmits();
        calc->FailReads(c.error); // the transfer queued since the open fails, then every retry
        ByteString buffer(4, '\0');
        const auto start = Clock::now();
        EXPECT_EQ(program.Read(buffer, 1000), 0);
        const long ms = MsSince(start);
        const int retries = calc->InSubmits() - before;
        // One retry per 100 ms pause: about ten in a second, not a loop.
        EXPECT_GE(retries, 3);
        EXPECT_LE(retries, 2 + static_cast<int>(ms / 80)) << retries << " submissions in " << ms << " ms";
        EXPECT_EQ(calc->ClearHalts() > 0, c.clearsHalt);
        calc->FailReads(0);
        calc->Send("back");
        ByteString back(4, '\0');
        EXPECT_EQ(program.Read(back, 1000), 4) << "the line did not recover";
        EXPECT_EQ(back, "back");
        program.Close();
        calc.reset();
    }
}

// ---- A calculator that stops taking data ---------------------------------------------

TEST_F(UsbDevice, AStalledWriteEndsAsATimeOutWithinItsBoundAndTheLinkGoesOn)
{
    const long limits[] = {200, 700};
    Plug();
    OpenLink(link);
    for (const long limit : limits) {
        SCOPED_TRACE(limit);
        calc->StallWrites(true);
        const ByteString chunk = Pattern(2048, static_cast<int>(limit));
        int err = 0;
        const auto start = Clock::now();
        EXPECT_EQ(WriteBlockResult(link, chunk.data(), chunk.size(), limit, &err), "write stalled");
        const long ms = MsSince(start);
        EXPECT_EQ(err, ETIMEDOUT);
        EXPECT_GE(ms, limit - 10);
        EXPECT_LT(ms, limit + 1000);
        EXPECT_TRUE(calc->WaitUntil([&] { return calc->OutDiscards() >= 1; }, 1s)) << "the stalled transfer was not cancelled";
        calc->StallWrites(false);
        // The next write goes through.
        EXPECT_EQ(WriteBlockResult(link, "next", 4, 1000), "complete");
        ASSERT_FALSE(calc->OutTransfers().empty());
        EXPECT_EQ(calc->OutTransfers().back(), "next");
    }
    EXPECT_EQ(calc->OutDiscards(), 2);
}

// A stop (Ctrl-C during a ROM load) ends the stalled transfer within about a step, not
// at the stall limit; after the stopped engine's lease the link writes again.
TEST_F(UsbDevice, AStopEndsAStalledWriteWithinAStepAndTheNextLeaseWritesAgain)
{
    constexpr long StallLimitMs = 20000;
    Plug();
    OpenLink(link);
    {
        LinkLease lease(link);
        calc->StallWrites(true);
        const ByteString chunk = Pattern(2048, 3);
        auto write = std::async(std::launch::async, [&] {
            int err = 0;
            const std::string outcome = WriteBlockResult(link, chunk.data(), chunk.size(), StallLimitMs, &err);
            return std::make_pair(outcome, err);
        });
        // The stop comes once the transfer waits at the calculator.
        ASSERT_TRUE(calc->WaitUntil([&] { return calc->OutPending() >= 1; }, 10s)) << "the write never reached the calculator";
        ASSERT_EQ(write.wait_for(0ms), std::future_status::timeout) << "a stalled calculator took the chunk";
        const auto stopped = Clock::now();
        link.StopWrites();
        ASSERT_EQ(write.wait_for(std::chrono::milliseconds(WriteStopBoundMs)), std::future_status::ready)
            << "the stop did not end the stalled write within " << WriteStopBoundMs << " ms";
        const long ms = MsSince(stopped);
        const auto [outcome, err] = write.get();
        EXPECT_EQ(outcome, "stopped");
        EXPECT_EQ(err, ECANCELED);
        EXPECT_LT(ms, WriteStopBoundMs);
        EXPECT_TRUE(calc->WaitUntil([&] { return calc->OutDiscards() >= 1; }, 1s)) << "the stalled transfer was not cancelled";
        calc->StallWrites(false);
        // The calculator takes data again: a write that does not wait still goes out.
        EXPECT_EQ(WriteBlockResult(link, "last", 4, 1000), "complete");
        ASSERT_FALSE(calc->OutTransfers().empty());
        EXPECT_EQ(calc->OutTransfers().back(), "last");
    }
    // The next engine's write waits for a calculator that is slow to take it.
    LinkLease next(link);
    calc->StallWrites(true);
    auto release = std::async(std::launch::async, [&] {
        // The calculator takes the write only once it has waited at the calculator.
        const bool waited = calc->WaitUntil([&] { return calc->OutPending() >= 1; }, 10s);
        calc->StallWrites(false);
        return waited;
    });
    EXPECT_EQ(WriteBlockResult(link, "next", 4, StallLimitMs), "complete");
    EXPECT_TRUE(release.get()) << "the write never waited at the calculator";
    ASSERT_FALSE(calc->OutTransfers().empty());
    EXPECT_EQ(calc->OutTransfers().back(), "next");
}

// ---- Unplugged -----------------------------------------------------------------------

TEST_F(UsbDevice, UnpluggingDuringAReadOrAWriteEndsInFailuresNotAHangOrASpin)
{
    enum class During { Read, Write };
    const During cases[] = {During::Read, During::Write};
    for (const During during : cases) {
        SCOPED_TRACE(during == During::Read ? "during a read" : "during a write");
        Link program;
        Plug();
        const std::string name = UpperCasePortName(calc->PortName());
        OpenLink(program);
        // The unplug comes when the program is at its read (its byte before the read
        // has reached the calculator) or its write waits at the calculator.
        auto unplug = std::async(std::launch::async, [&] {
            const bool reached = calc->WaitUntil(
                [&] { return during == During::Read ? !calc->OutTransfers().empty() : calc->OutPending() >= 1; }, 10s);
            calc->Unplug();
            return reached;
        });
        const auto start = Clock::now();
        if (during == During::Read) {
            program.Write("r");
            ByteString buffer(10, 'x');
            EXPECT_EQ(program.Read(buffer, 1000), 0);
            EXPECT_EQ(buffer, ByteString(10, '\0'));
        } else {
            calc->StallWrites(true);
            const ByteString chunk = Pattern(2048, 7);
            int err = 0;
            EXPECT_EQ(WriteBlockResult(program, chunk.data(), chunk.size(), 5000, &err), "lost");
            EXPECT_EQ(err, ENODEV);
            EXPECT_LT(MsSince(start), 1500) << "the write waited for its stall limit";
        }
        EXPECT_TRUE(unplug.get()) << "the program never reached its read or write";
        EXPECT_LT(MsSince(start), 2500);

        // Afterwards: reads give nothing within their time, writes fail, nothing spins.
        const int submitsAfter = calc->SubmitsAfterUnplug();
        ByteString buffer(10, 'x');
        const auto again = Clock::now();
        EXPECT_EQ(program.Read(buffer, 300), 0);
        EXPECT_LT(MsSince(again), 900);
        EXPECT_LE(calc->SubmitsAfterUnplug() - submitsAfter, 1) << "the read side keeps knocking on a device that is gone";
        EXPECT_THROW(program.Write("gone"), CalvyxError);
        int err = 0;
        EXPECT_EQ(WriteBlockResult(program, "gone", 4, 1000, &err), "lost");
        EXPECT_EQ(err, ENODEV);
        EXPECT_FALSE(UsbDevicePresent(name)) << "the poll would not notice";

        const auto closing = Clock::now();
        program.Close();
        EXPECT_LT(MsSince(closing), LibUsbCloseLimitMs);
        EXPECT_FALSE(program.ReaderRunning());
        calc.reset();
    }
}

// ---- Close ---------------------------------------------------------------------------

TEST_F(UsbDevice, CloseWithAReadOutstandingCancelsItReleasesAndReturnsQuickly)
{
    Plug();
    OpenLink(link);
    ByteString buffer(4, '\0');
    EXPECT_EQ(link.Read(buffer, 10), 0); // leaves the IN transfer queued
    ASSERT_EQ(calc->InPending(), 1);
    const auto start = Clock::now();
    link.Close();
    const long ms = MsSince(start);
    EXPECT_LT(ms, 500);
    EXPECT_EQ(calc->InDiscards(), 1) << "the outstanding read was not cancelled";
    EXPECT_EQ(calc->InPending(), 0);
    EXPECT_EQ(calc->Releases(), 1);
    EXPECT_FALSE(calc->Claimed());
    // The device is free for the next opener.
    Link next;
    ASSERT_NO_THROW(OpenLink(next));
    EXPECT_TRUE(calc->Claimed());
}

// A read whose cancel never reports back must not hold the close (or the window) for
// ever: the close gives up within its limit and keeps that handle, which stays claimed.
TEST_F(UsbDevice, CloseGivesUpOnAReadWhoseCancelNeverReportsBack)
{
    Plug();
    OpenLink(link);
    calc->IgnoreReadCancels();
    ByteString buffer(4, '\0');
    EXPECT_EQ(link.Read(buffer, 10), 0); // leaves the IN transfer queued
    ASSERT_EQ(calc->InPending(), 1);
    const auto start = Clock::now();
    link.Close();
    EXPECT_LT(MsSince(start), LibUsbCloseLimitMs + 500);
    EXPECT_EQ(calc->InDiscards(), 1) << "the outstanding read was not cancelled";
    EXPECT_EQ(calc->InPending(), 1);
    EXPECT_EQ(calc->Releases(), 0) << "the interface was released under a pending read";
    EXPECT_FALSE(link.IsOpen());
}

} // namespace
