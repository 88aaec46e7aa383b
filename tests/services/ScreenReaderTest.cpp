// SPDX-License-Identifier: GPL-3.0-or-later
// Reading one screen from the virtual calculator: the pushed-screen prefix, screens in
// bursts, cancel, the link always closed afterwards, and the errors.
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "services/ScreenImage.h"
#include "services/ScreenReader.h"
#include "tests/support/LinkFixtures.h"
#include "tests/support/TestScreens.h"
#include "tests/support/TraceWatch.h"
#include "util/CalvyxError.h"

namespace {

using namespace std::chrono_literals;

const std::string BeginRead = "Begin capture read";

std::string SoFar(std::size_t n) { return "  Result so far= " + std::to_string(n); }

// Runs Capture in its own thread, as the capture window's receive thread does.
struct CaptureRun {
    CaptureRun(ScreenReader& reader, ByteString initial) : capture(reader)
    {
        done = std::async(std::launch::async, [&reader, initial, this] { reader.ReadScreen(initial, image); });
    }
    // Waits for the end, bounded; rethrows what Capture raised.
    bool Finish(std::chrono::milliseconds limit)
    {
        if (done.wait_for(limit) != std::future_status::ready) return false;
        done.get();
        return true;
    }
    ~CaptureRun()
    {
        // A test that failed half-way still ends its capture (at its next read).
        capture.Cancelled = true;
        if (done.valid()) done.wait();
    }
    ScreenReader& capture;
    ByteString image;
    std::future<void> done;
};

class ScreenReaderTest : public ::testing::Test {
protected:
    LinkOnSim link;
    TraceWatch trace;
};

TEST_F(ScreenReaderTest, PushedScreenPrefixIsCompletedFromTheLink)
{
    for (const bool usb : {false, true}) {
        sim::SimPort& calc = usb ? static_cast<sim::SimPort&>(link.CreateUsb()) : link.CreatePty();
        const ByteString screen = EncodeScreen(GraphScreen(), PushedScreenHeader);
        const std::string port = usb ? "QVxT0+" : calc.ProgramPortName();
        ScreenReader one{LinkLease(link.Program()), port};
        CaptureRun run(one, screen.substr(0, 1));
        ASSERT_TRUE(trace.WaitFor(BeginRead, usb ? 2 : 1, 5s)) << "the link was not opened";
        ASSERT_TRUE(calc.Send(screen.substr(1)));
        ASSERT_TRUE(run.Finish(10s)) << "no complete screen";
        EXPECT_EQ(run.image.size(), ScreenImageSize);
        EXPECT_EQ(HexBytes(run.image, 2000), HexBytes(screen, 2000));
        EXPECT_FALSE(link.Program().IsOpen()) << (usb ? "usb" : "serial");
        // 1089 bytes asked for, never more.
        EXPECT_EQ(trace.StartingWith("  Result so far=").back(), SoFar(1090));
    }
}

TEST_F(ScreenReaderTest, BurstsAreCollectedOneReadEach)
{
    sim::SimPort& calc = link.CreatePty();
    ScreenReader capture{LinkLease(link.Program()), calc.ProgramPortName()};
    const ByteString screen = EncodeScreen(GraphScreen(), PageLayoutHeader);
    CaptureRun run(capture, ByteString());
    ASSERT_TRUE(trace.WaitFor(BeginRead, 1, 5s));
    const std::size_t cuts[] = {0, 400, 800, 1090};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(calc.Send(screen.substr(cuts[i], cuts[i + 1] - cuts[i])));
        ASSERT_TRUE(trace.WaitFor(SoFar(cuts[i + 1]), 1, 5s)) << "burst " << i;
    }
    ASSERT_TRUE(run.Finish(5s));
    EXPECT_EQ(run.image, screen);
    EXPECT_EQ(trace.StartingWith("  Result so far=").size(), 3u);
    EXPECT_FALSE(link.Program().IsOpen());
}

TEST_F(ScreenReaderTest, CancelWhileWaitingGivesNothingAndClosesTheLink)
{
    for (const bool usb : {false, true}) {
        sim::SimPort& calc = usb ? static_cast<sim::SimPort&>(link.CreateUsb()) : link.CreatePty();
        ScreenReader one{LinkLease(link.Program()), usb ? "QVxT0+" : calc.ProgramPortName()};
        CaptureRun run(one, ByteString(1, '\x80'));
        ASSERT_TRUE(trace.WaitFor(BeginRead, usb ? 2 : 1, 5s));
        ASSERT_TRUE(calc.Send(ByteString(100, '\x55'))); // half a screen, then silence
        const auto cancelledAt = std::chrono::steady_clock::now();
        one.Cancelled = true;
        // A cancel takes effect when the current read returns: within its time limit.
        ASSERT_TRUE(run.Finish(5s)) << "the capture did not end";
        EXPECT_LT(std::chrono::steady_clock::now() - cancelledAt, 2500ms);
        EXPECT_TRUE(run.image.empty());
        EXPECT_FALSE(link.Program().IsOpen()) << (usb ? "usb" : "serial");
    }
}

TEST_F(ScreenReaderTest, EmptyPortNameLeavesTheLinkAlone)
{
    ScreenReader capture{LinkLease(link.Program()), ""};
    sim::SimPort& calc = link.OpenPty();
    ByteString image = "junk";
    capture.ReadScreen(ByteString(1, '\x80'), image);
    EXPECT_EQ(image, ByteString(1, '\x80'));
    EXPECT_TRUE(link.Program().IsOpen()) << "an open link stays open";
    EXPECT_EQ(trace.Count(BeginRead), 0);
    (void)calc;
}

TEST_F(ScreenReaderTest, PortThatCannotBeOpenedRaisesTheCommunicationsError)
{
    ScreenReader capture{LinkLease(link.Program()), "/dev/no-such-tty"};
    ByteString image;
    try {
        capture.ReadScreen(ByteString(), image);
        ADD_FAILURE() << "no error";
    } catch (const CalvyxError& error) {
        EXPECT_STREQ(error.what(), "Error(The connectivity kit is unable to open communications to: /dev/no-such-tty)");
    }
    EXPECT_FALSE(link.Program().IsOpen());
}

TEST_F(ScreenReaderTest, CalculatorGoingAwayMidScreenIsNeverAScreen)
{
    auto& device = link.CreateUsb();
    ScreenReader capture{LinkLease(link.Program()), "qvxt0+"};
    CaptureRun run(capture, ByteString());
    ASSERT_TRUE(trace.WaitFor(BeginRead, 1, 5s));
    ASSERT_TRUE(device.Send(ByteString(200, '\x01')));
    ASSERT_TRUE(trace.WaitFor(SoFar(200), 1, 5s));
    device.Unplug();
    try {
        // Either the read fails (an error) or it goes on waiting until cancelled.
        if (!run.Finish(1500ms)) {
            capture.Cancelled = true;
            ASSERT_TRUE(run.Finish(5s));
            EXPECT_TRUE(run.image.empty());
        } else {
            ADD_FAILURE() << "a vanished device was taken for a complete screen";
        }
    } catch (const CalvyxError& error) {
        EXPECT_STREQ(error.what(), "Error(The connectivity kit is unable to open communications to: qvxt0+)");
    }
    EXPECT_FALSE(link.Program().IsOpen());
}

} // namespace
