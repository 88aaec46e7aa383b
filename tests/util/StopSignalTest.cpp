// SPDX-License-Identifier: GPL-3.0-or-later
// The stop signal: a signal becomes a level that waits and polls see, a call in the event
// loop per signal, and the old handlers come back when the object goes.
#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <future>
#include <memory>
#include <poll.h>

#include "util/StopSignal.h"

namespace {

using Clock = std::chrono::steady_clock;

bool Readable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

long MsSince(Clock::time_point start)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

TEST(StopSignal, WaitRunsItsTimeWithoutASignal)
{
    StopSignal stop;
    ASSERT_GE(stop.Fd(), 0);
    const auto start = Clock::now();
    EXPECT_FALSE(stop.Wait(80));
    EXPECT_GE(MsSince(start), 75);
    EXPECT_FALSE(stop.Raised());
    EXPECT_FALSE(Readable(stop.Fd()));
}

TEST(StopSignal, EachCaughtSignalRaisesALevelThatStays)
{
    struct Case {
        const char* name;
        std::vector<int> caught;
        int sent;
    };
    const Case cases[] = {
        {"SIGINT by default", {SIGINT, SIGTERM}, SIGINT},
        {"SIGTERM by default", {SIGINT, SIGTERM}, SIGTERM},
        {"SIGHUP when named", {SIGINT, SIGTERM, SIGHUP}, SIGHUP},
    };
    for (const Case& c : cases) {
        StopSignal stop(c.caught);
        ASSERT_EQ(::raise(c.sent), 0) << c.name;
        EXPECT_TRUE(stop.Raised()) << c.name;
        const auto start = Clock::now();
        EXPECT_TRUE(stop.Wait(-1)) << c.name;
        EXPECT_TRUE(stop.Wait(5000)) << c.name;
        EXPECT_LT(MsSince(start), 1000) << c.name;
        // Polled twice: a wait beside other descriptors sees it as often as it looks.
        EXPECT_TRUE(Readable(stop.Fd())) << c.name;
        EXPECT_TRUE(Readable(stop.Fd())) << c.name;
    }
}

// Lets the event loop come round `turns` times. A notifier whose descriptor is readable
// fires on every turn, so a call that should not come would have come by then; nothing
// else marks its absence.
bool EventLoopTurns(int turns)
{
    for (int i = 0; i < turns; ++i) {
        auto reached = std::make_shared<bool>(false);
        QTimer::singleShot(0, [reached] { *reached = true; });
        if (!QTest::qWaitFor([&] { return *reached; }, 5000)) return false;
    }
    return true;
}

TEST(StopSignal, AWaitInAnotherThreadEndsAtTheSignal)
{
    StopSignal stop;
    // Bounded, so that a wait the signal does not end fails the test instead of hanging it.
    auto waiter = std::async(std::launch::async, [&] { return stop.Wait(10000); });
    ASSERT_EQ(waiter.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    ASSERT_EQ(::raise(SIGTERM), 0);
    ASSERT_EQ(waiter.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_TRUE(waiter.get());
}

TEST(StopSignal, TheEventLoopIsCalledOncePerSignalAndTheLevelStays)
{
    StopSignal stop;
    QObject context;
    int calls = 0;
    stop.OnSignal(&context, [&] { ++calls; });
    ASSERT_EQ(::raise(SIGINT), 0);
    ASSERT_EQ(::raise(SIGTERM), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return calls == 2; }, 5000));
    ASSERT_TRUE(EventLoopTurns(3));
    EXPECT_EQ(calls, 2);
    // The event loop took its bytes; a poll on the descriptor still sees the stop.
    EXPECT_TRUE(Readable(stop.Fd()));
}

TEST(StopSignal, NoCallAfterTheContextWent)
{
    StopSignal stop;
    int calls = 0;
    {
        QObject context;
        stop.OnSignal(&context, [&] { ++calls; });
    }
    ASSERT_EQ(::raise(SIGTERM), 0);
    ASSERT_TRUE(EventLoopTurns(3));
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(stop.Raised());
}

std::atomic<int> gOwnHandlerCalls{0};
void OwnHandler(int) { ++gOwnHandlerCalls; }

TEST(StopSignal, TheHandlerFoundComesBackAndTheNextStartsLowered)
{
    struct sigaction own {
    }, before{};
    own.sa_handler = OwnHandler;
    sigemptyset(&own.sa_mask);
    ASSERT_EQ(::sigaction(SIGTERM, &own, &before), 0);
    {
        StopSignal stop;
        ASSERT_EQ(::raise(SIGTERM), 0);
        EXPECT_TRUE(stop.Raised());
        EXPECT_EQ(gOwnHandlerCalls, 0);
    }
    ASSERT_EQ(::raise(SIGTERM), 0);
    EXPECT_EQ(gOwnHandlerCalls, 1);
    ::sigaction(SIGTERM, &before, nullptr);

    StopSignal next;
    EXPECT_FALSE(next.Raised());
    EXPECT_FALSE(Readable(next.Fd()));
}

} // namespace
