// SPDX-License-Identifier: GPL-3.0-or-later
// The wire receive on a line in memory, run in this thread: its time-outs pass on the
// line's clock, so even a calculator that stays silent is given up on at once in real
// time, and the answers on the wire are exactly those of the receive.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "link/Link.h"
#include "link/MemoryLine.h"
#include "services/WireReceiver.h"
#include "tests/support/Recorders.h"
#include "util/StringTable.h"
#include "util/TransferText.h"
#include "xmodem/XModemBlock.h"

namespace {

using Clock = std::chrono::steady_clock;

long RealMsSince(Clock::time_point t)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

ByteString ChecksumBlock(unsigned number, const ByteString& data)
{
    return xmodem::BuildBlock(xmodem::SOH, number, data, xmodem::CheckMode::Checksum);
}

TEST(WireReceiveInMemory, RunsToItsEndWithoutRealWaits)
{
    const ByteString one(128, 'a');
    const ByteString two(128, 'b');
    ByteString damaged = ChecksumBlock(2, two);
    damaged.back() = static_cast<char>(damaged.back() ^ 1);
    const ByteString eot(1, static_cast<char>(xmodem::EOT));
    struct Case {
        const char* name;
        std::vector<ByteString> turns;
        bool success;
        ByteString data;
        ByteString answers; // after the start byte
    } cases[] = {
        {"two blocks", {ChecksumBlock(1, one), ChecksumBlock(2, two), eot}, true, one + two, "\x06\x06\x06"},
        {"a damaged block is refused and taken when it comes again",
         {ChecksumBlock(1, one), damaged, ChecksumBlock(2, two), eot},
         true,
         one + two,
         "\x06\x15\x06\x06"},
        // The user is at the calculator's menus for a minute: each silent read before
        // the first block is answered with NAK, then "not ready". The receive's reads
        // (three seconds on a serial line) pass on the line's clock.
        {"a silent calculator", {}, false, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto line = std::make_shared<MemoryLine>();
        std::size_t next = 0;
        ByteString heard;
        line->OnStarved = [&] {
            if (next < c.turns.size()) line->Queue(c.turns[next++]);
        };
        line->OnWritten = [&](const ByteString& bytes) { heard += bytes; };
        Link link;
        link.OpenMemory(line, LinkKind::Serial);
        RecordingStatusDialog dialog;
        const auto start = Clock::now();
        WireReceiver rx(
            LinkLease(link), [&](const TransferEvent& event) { ShowOnStatusDialog(dialog, event); }, {}, Str::SendByWire, 0,
            WireReceiver::RunIn::Caller);
        EXPECT_LT(RealMsSince(start), 2000) << "the receive waited in real time";
        EXPECT_EQ(rx.Success, c.success);
        EXPECT_EQ(rx.ReceivedData, c.data);
        if (c.success) {
            EXPECT_EQ(heard, "D" + c.answers);
        } else {
            // A NAK after each silent read of about three seconds until the minute is
            // over (the line's own pauses make a read a little longer), then the ACK.
            ASSERT_GE(heard.size(), 3u);
            const ByteString naks = heard.substr(1, heard.size() - 2);
            EXPECT_EQ(heard.front(), 'D');
            EXPECT_EQ(heard.back(), '\x06');
            EXPECT_EQ(naks, ByteString(naks.size(), '\x15'));
            const std::size_t most = WireReceiver::StartWaitMs / WireReceiver::SerialReadTimeoutMs - 1;
            EXPECT_LE(naks.size(), most);
            EXPECT_GE(naks.size(), most - 2);
            EXPECT_GE(line->Now(), 60000u) << "a minute's wait on the line's clock";
            EXPECT_EQ(dialog.Reports().back().text, "Receive by wire failed: no answer for 60 s");
        }
    }
}

} // namespace
