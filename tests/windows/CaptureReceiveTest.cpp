// SPDX-License-Identifier: GPL-3.0-or-later
// The capture window reading screens from the virtual calculator: the receive thread's
// start on the timer, the hand-over and redraw, a vanishing USB device, and closing
// while a screen is half read.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include <QElapsedTimer>
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include "link/PortName.h"
#include "link/UsbDevices.h"
#include "services/ScreenPicture.h"
#include "tests/support/LinkFixtures.h"
#include "tests/support/ScopedSettings.h"
#include "tests/support/TestScreens.h"
#include "tests/support/TraceWatch.h"
#include "windows/ScreenCaptureWindow.h"

namespace {

const std::string BeginRead = "Begin capture read";

class CaptureReceive : public ::testing::Test {
protected:
    void SetUp() override
    {
        // What the calculator's session lends: a reader on the chosen port.
        capture.SetReaderSource([this]() -> std::unique_ptr<ScreenReader> {
            if (port.empty()) return nullptr;
            return std::make_unique<ScreenReader>(LinkLease(link.Program()), port);
        });
        capture.SetPresenceCheck([this] { return !IsUsbPortName(port) || UsbLinkPresent(port); });
    }

    // Shows the window modally (as the main window does) and runs steps inside it;
    // the window is closed afterwards whatever happened.
    void RunShown(const std::string& chosenPort, const ByteString& prefix, const std::function<void()>& steps)
    {
        port = chosenPort;
        bool ran = false;
        QTimer::singleShot(0, &capture, [&] {
            ran = true;
            steps();
            if (capture.isVisible()) capture.close();
        });
        QTimer::singleShot(30000, &capture, [&] { capture.close(); });
        capture.ShowCapture(prefix);
        EXPECT_TRUE(ran);
    }

    bool WaitForReads(int count, int limitMs = 5000)
    {
        return QTest::qWaitFor([&] { return trace.Count(BeginRead) >= count; }, limitMs);
    }

    QImage Expected(const ByteString& screen) const
    {
        return MonoBitmapToImage(FramedScreenPicture(screen, capture.BorderWidth()));
    }

    ScopedSettings settings;
    std::string port;
    LinkOnSim link;
    TraceWatch trace;
    ScreenCaptureWindow capture;
};

TEST_F(CaptureReceive, ScreensFromTheCalculatorAreDrawn)
{
    sim::SimPort& calc = link.CreatePty();
    const ByteString first = EncodeScreen(GraphScreen(), PushedScreenHeader);
    MonoBitmap inverted = GraphScreen();
    for (auto& pixel : inverted.Pixels) pixel = !pixel;
    const ByteString second = EncodeScreen(inverted, PageLayoutHeader);
    std::string why;

    ASSERT_NO_FATAL_FAILURE(RunShown(calc.ProgramPortName(), first.substr(0, 1), [&] {
        // The first tick starts the receive thread; the screen's first byte came with
        // the window.
        ASSERT_TRUE(WaitForReads(1)) << "no receive thread";
        ASSERT_TRUE(calc.Send(first.substr(1)));
        ASSERT_TRUE(QTest::qWaitFor([&] { return SameMonoPicture(capture.Picture(), Expected(first), &why); }, 5000))
            << "first screen not drawn: " << why;
        EXPECT_TRUE(
            SameMonoPicture(capture.screenImage->pixmap().toImage(), Expected(first).scaled(capture.Picture().size() * 2), &why))
            << why;
        // The next screen is read whole from the link, in the other layout.
        ASSERT_TRUE(WaitForReads(2));
        ASSERT_TRUE(calc.Send(second));
        ASSERT_TRUE(QTest::qWaitFor([&] { return SameMonoPicture(capture.Picture(), Expected(second), &why); }, 5000))
            << "second screen not drawn: " << why;
        // Moving the track bar redraws the current screen with the new border.
        capture.borderSlider->setValue(5);
        EXPECT_TRUE(SameMonoPicture(capture.Picture(), Expected(second), &why)) << why;
        EXPECT_EQ(capture.Picture().size(), QSize(151, 84));
    }));
    EXPECT_EQ(capture.Receiver(), nullptr) << "closing ends and forgets the thread";
    EXPECT_FALSE(link.Program().IsOpen());
    EXPECT_EQ(settings.Get("ScreenCapture", "Border").toString(), "5");
}

TEST_F(CaptureReceive, ClosingWhileAScreenIsHalfReadEndsTheThreadPromptly)
{
    sim::SimPort& calc = link.CreatePty();
    const QImage before = capture.Picture();
    qint64 closeMs = -1;
    ASSERT_NO_FATAL_FAILURE(RunShown(calc.ProgramPortName(), ByteString(), [&] {
        ASSERT_TRUE(WaitForReads(1));
        ASSERT_TRUE(calc.Send(ByteString(500, '\xFF')));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !trace.StartingWith("  Result so far=").empty(); }, 5000));
        QElapsedTimer clock;
        clock.start();
        capture.close();
        closeMs = clock.elapsed();
    }));
    EXPECT_GE(closeMs, 0);
    EXPECT_LT(closeMs, 3000) << "the thread must end within one read time-out";
    EXPECT_EQ(capture.Receiver(), nullptr);
    EXPECT_EQ(capture.Picture(), before) << "half a screen is never drawn";
    EXPECT_FALSE(link.Program().IsOpen());
    EXPECT_EQ(settings.Get("ScreenCapture", "Border").toString(), "1");
}

TEST_F(CaptureReceive, UnpluggedDeviceStopsTheThreadAndNoneIsRestarted)
{
    sim::SimUsbDevice& device = link.CreateUsb();
    ASSERT_NO_FATAL_FAILURE(RunShown("QVxT0+", ByteString(), [&] {
        ASSERT_TRUE(WaitForReads(1));
        ScreenReaderThread* first = capture.Receiver();
        ASSERT_NE(first, nullptr);
        device.Unplug();
        // The next one-second tick finds the device gone and stops the thread.
        ASSERT_TRUE(QTest::qWaitFor([&] { return first->isFinished(); }, 5000)) << "thread not stopped";
        EXPECT_TRUE(first->Terminated());
        // The window's next device check (the spy counts it once the window's own
        // slot has run) finds the device back and must leave the stopped thread be.
        QSignalSpy checks(capture.receiverCheckTimer, &QTimer::timeout);
        device.Plug();
        ASSERT_TRUE(QTest::qWaitFor([&] { return checks.count() >= 1; }, 5000)) << "the window stopped checking the device";
        EXPECT_EQ(capture.Receiver(), first) << "no new thread while the window stays open";
        EXPECT_EQ(trace.Count(BeginRead), 1);
    }));
    EXPECT_EQ(capture.Receiver(), nullptr);
    EXPECT_FALSE(link.Program().IsOpen());
}

TEST_F(CaptureReceive, PortThatCannotBeOpenedEndsTheThreadQuietly)
{
    const QImage before = capture.Picture();
    ASSERT_NO_FATAL_FAILURE(RunShown("/dev/no-such-tty", ByteString(1, '\x80'), [&] {
        ASSERT_TRUE(QTest::qWaitFor([&] { return capture.Receiver() && capture.Receiver()->isFinished(); }, 5000));
        EXPECT_TRUE(capture.isVisible()) << "the window stays open";
    }));
    EXPECT_EQ(capture.Picture(), before);
}

TEST_F(CaptureReceive, WithoutAConnectionNameTheThreadEndsAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(RunShown("", ByteString(1, '\x80'), [&] {
        ASSERT_TRUE(QTest::qWaitFor([&] { return capture.Receiver() != nullptr; }, 5000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return capture.Receiver()->isFinished(); }, 5000))
            << "a thread with nothing to read must not go on running";
    }));
    EXPECT_EQ(trace.Count(BeginRead), 0);
}

} // namespace
