// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows serial backend on a COM port whose far end is a pseudo-terminal played by
// tests/wine/serial_peer.py, which answers every "?" with "hello". The port's name comes
// from CALVYX_TEST_COM (tools/run-wine-tests.sh sets it).
#include <chrono>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

#include "link/Link.h"
#include "link/LinkErrors.h"

namespace {

using Clock = std::chrono::steady_clock;

long MsSince(Clock::time_point start)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

class SerialCom : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* port = std::getenv("CALVYX_TEST_COM");
        ASSERT_NE(port, nullptr) << "CALVYX_TEST_COM names no COM port (run by tools/run-wine-tests.sh)";
        link.Open(port, LinkBaud);
    }
    Link link;
};

// Bytes that come in end the read at once, long before its limit.
TEST_F(SerialCom, AReadReturnsAsSoonAsItsBytesAreIn)
{
    link.Write("?");
    ByteString buffer(5, '\0');
    const auto start = Clock::now();
    ASSERT_EQ(link.Read(buffer, 5000), 5);
    EXPECT_EQ(buffer, "hello");
    EXPECT_LT(MsSince(start), 2000);
}

// Nothing comes: the read ends at its limit (the caller's plus a millisecond a byte).
TEST_F(SerialCom, AReadOfNothingEndsAtItsLimit)
{
    ByteString buffer(4, '\0');
    const auto start = Clock::now();
    EXPECT_EQ(link.Read(buffer, 300), 0);
    const long took = MsSince(start);
    EXPECT_GE(took, 300);
    EXPECT_LT(took, 1500);
}

// Fewer bytes than asked for: what came is returned at the limit.
TEST_F(SerialCom, APartReadReturnsWhatCame)
{
    link.Write("?");
    ByteString buffer(8, '\0');
    const auto start = Clock::now();
    EXPECT_EQ(link.Read(buffer, 400), 5);
    EXPECT_EQ(buffer.substr(0, 5), "hello");
    EXPECT_LT(MsSince(start), 2000);
}

// A cancel from another thread ends a long wait early.
TEST_F(SerialCom, ACancelEndsAWait)
{
    std::thread canceller([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        link.CancelRead();
    });
    ByteString buffer(4, '\0');
    const auto start = Clock::now();
    const int got = link.Read(buffer, 20000);
    const long took = MsSince(start);
    canceller.join();
    EXPECT_EQ(got, 0);
    EXPECT_LT(took, 3000);
}

// A stop requested before a write that does not wait leaves it whole; the far end
// answers as usual.
TEST_F(SerialCom, AWriteThatDoesNotWaitIsNotCutByAStop)
{
    link.StopWrites();
    link.Write("?");
    ByteString buffer(5, '\0');
    ASSERT_EQ(link.Read(buffer, 5000), 5);
    EXPECT_EQ(buffer, "hello");
}

} // namespace
