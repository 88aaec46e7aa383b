// SPDX-License-Identifier: GPL-3.0-or-later
// A stop of writes on the lines the program writes through a descriptor: the serial line
// (a pseudo-terminal) and the USB pipe device, with a calculator that takes no data.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <future>
#include <string>

#include "link/Link.h"
#include "link/LinkErrors.h"
#include "tests/support/LinkFixtures.h"
#include "util/CalvyxError.h"
#include "util/Ticks.h"

namespace {

using Clock = std::chrono::steady_clock;

// More than the pseudo-terminal's and the FIFO's buffers hold: a calculator that reads
// nothing leaves the write waiting.
constexpr std::size_t BlockSize = 512 * 1024;
// A limit the stop must beat by far.
constexpr long StallLimitMs = 20000;

ByteString Block(char fill) { return ByteString(BlockSize, fill); }

// Takes what the program wrote until nothing more comes for 200 ms (a pseudo-terminal
// hands its buffer on in steps); the program writes nothing meanwhile, so this ends.
void TakeUntilQuiet(sim::SimPort& calc)
{
    while (!calc.Receive(65536, 200).empty()) {}
}

struct LineCase {
    const char* name;
    bool usb;
};

class WriteStop : public ::testing::TestWithParam<LineCase> {
protected:
    sim::SimPort& Open() { return GetParam().usb ? static_cast<sim::SimPort&>(link.OpenUsb()) : link.OpenPty(); }
    LinkOnSim link;
};

// The calculator stops taking data; a stop from another thread ends the waiting write
// within about a step, well before its limit.
TEST_P(WriteStop, AStopEndsAWriteTheCalculatorDoesNotTakeAndNotOneThatGoesOut)
{
    sim::SimPort& calc = Open();
    Link& program = link.Program();
    {
        LinkLease lease(program);
        const ByteString block = Block('a');
        auto write = std::async(std::launch::async, [&] {
            int err = 0;
            const std::string outcome = WriteBlockResult(program, block.data(), block.size(), StallLimitMs, &err);
            return std::make_pair(outcome, err);
        });
        // Nobody reads: the write cannot end by itself within the limit.
        ASSERT_EQ(write.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout)
            << "a write of " << BlockSize << " bytes went out with nobody reading";
        const auto stopped = Clock::now();
        program.StopWrites();
        ASSERT_EQ(write.wait_for(std::chrono::milliseconds(WriteStopBoundMs)), std::future_status::ready)
            << "the stop did not end the waiting write within " << WriteStopBoundMs << " ms";
        const long ms = MsSince(stopped);
        const auto [outcome, err] = write.get();
        EXPECT_EQ(outcome, "stopped");
        EXPECT_EQ(err, ECANCELED);
        EXPECT_LT(ms, WriteStopBoundMs);

        // The stop holds for the engine, but a write the line takes at once still goes
        // (a last word to the calculator).
        TakeUntilQuiet(calc);
        EXPECT_EQ(WriteBlockResult(program, "last", 4, StallLimitMs), "complete");
        EXPECT_EQ(calc.ReceiveUntil("last", 2000), "last");
        // One that would wait gives up at once.
        const auto again = Clock::now();
        EXPECT_EQ(WriteBlockResult(program, block.data(), block.size(), StallLimitMs), "stopped");
        EXPECT_LT(MsSince(again), WriteStopBoundMs);
        EXPECT_THROW(program.Write(block), CalvyxError) << "Write raises like any failed write";
        TakeUntilQuiet(calc);
    }

    // The lease has ended: the next engine's write waits for a calculator that is slow
    // to read and goes out whole.
    LinkLease next(program);
    const ByteString block = Block('b');
    auto reader = std::async(std::launch::async, [&] {
        SleepMs(300);
        return calc.ReceiveExactly(block.size(), 10000);
    });
    EXPECT_EQ(WriteBlockResult(program, block.data(), block.size(), StallLimitMs), "complete");
    EXPECT_EQ(reader.get().size(), block.size()) << "the block did not arrive whole after the stop was over";
}

INSTANTIATE_TEST_SUITE_P(Lines, WriteStop, ::testing::Values(LineCase{"PseudoTerminal", false}, LineCase{"UsbPipeDevice", true}),
                         [](const ::testing::TestParamInfo<LineCase>& testInfo) { return std::string(testInfo.param.name); });

// Opening the link again ends a stop that no lease ended.
TEST(WriteStopReopen, AReopenedLinkWritesAgain)
{
    LinkOnSim link;
    sim::SimPort& calc = link.OpenUsb();
    link.Program().StopWrites();
    link.Program().Open("QVxT0+", 9600);
    const ByteString block = Block('c');
    auto reader = std::async(std::launch::async, [&] {
        SleepMs(300); // a calculator slow to read: the write has to wait for it
        return calc.ReceiveExactly(block.size(), 10000);
    });
    EXPECT_EQ(WriteBlockResult(link.Program(), block.data(), block.size(), StallLimitMs), "complete");
    EXPECT_EQ(reader.get().size(), block.size());
}

} // namespace
