// SPDX-License-Identifier: GPL-3.0-or-later
// The line in memory: reads that find nothing cost no real time but move the line's
// clock on; the other side acts when the program waits, never during a drain; a hang-up
// fails the next read.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "link/Link.h"
#include "link/MemoryLine.h"
#include "util/CalvyxError.h"

namespace {

using Clock = std::chrono::steady_clock;

long RealMsSince(Clock::time_point t)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

TEST(MemoryLine, ReadsWaitOnTheLinesClockAndTheOtherSideActsWhenTheProgramWaits)
{
    auto line = std::make_shared<MemoryLine>();
    int starved = 0;
    ByteString written;
    line->OnStarved = [&] {
        if (++starved == 2) line->Queue("abc");
    };
    line->OnWritten = [&](const ByteString& bytes) { written += bytes; };
    Link link;
    link.OpenMemory(line, LinkKind::Usb);
    EXPECT_EQ(link.Kind(), LinkKind::Usb);
    EXPECT_EQ(starved, 0) << "the drain of the open let the other side act";

    const auto start = Clock::now();
    const uint32_t before = line->Now();
    ByteString buffer(2, '\0');
    EXPECT_EQ(link.Read(buffer, 3000), 0);
    EXPECT_EQ(line->Now() - before, 3000u);
    EXPECT_EQ(link.Read(buffer, 3000), 2);
    EXPECT_EQ(buffer, "ab");
    EXPECT_EQ(line->Now() - before, 3000u) << "a read that found bytes took time";
    link.Pause(800);
    EXPECT_EQ(line->Now() - before, 3800u);
    EXPECT_LT(RealMsSince(start), 500) << "the reads waited in real time";

    // The drain throws away what is queued and does not call for more.
    link.ClearInput();
    EXPECT_EQ(line->Queued(), 0u);
    EXPECT_EQ(starved, 2);

    link.Write("hello");
    EXPECT_EQ(written, "hello");

    line->HangUp();
    EXPECT_THROW(link.Read(buffer, 100), CalvyxError);
}

} // namespace
