// SPDX-License-Identifier: GPL-3.0-or-later
// Calculator sessions against the virtual calculator: two served at once on their own
// pseudo-terminals without crossing, a line that hangs up, the link lent and given back,
// a screen read through the session, and a pushed screen, all told as events.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <vector>

#include <QFile>
#include <QTemporaryDir>

#include "kermit/KermitServer.h"
#include "services/CalculatorSession.h"
#include "tests/services/TransferFixture.h"
#include "tests/support/Serving.h"
#include "tests/support/SimCalculator.h"
#include "tests/support/TestScreens.h"
#include "tools/sim/KermitRole.h"
#include "tools/sim/SimPort.h"
#include "util/Utils.h"

using namespace testing_services;

namespace {

constexpr int LimitMs = 20000;

// A session on a calculator of its own, with every event it reported.
struct Served {
    Served() : port(sim::CreatePtyPort())
    {
        QObject::connect(&session, &CalculatorSession::Event, [this](const SessionEvent& e) { events.push_back(e); });
        session.SetFolder(folder.path().toStdString());
        session.Connect(port->ProgramPortName());
    }

    std::vector<TransferEvent> Transfers() const
    {
        std::vector<TransferEvent> out;
        for (const SessionEvent& e : events)
            if (const auto* t = std::get_if<TransferEvent>(&e)) out.push_back(*t);
        return out;
    }
    bool Saw(LinkEvent::Change change) const
    {
        for (const SessionEvent& e : events)
            if (const auto* l = std::get_if<LinkEvent>(&e); l && l->change == change) return true;
        return false;
    }
    template <class Event>
    bool Saw() const
    {
        for (const SessionEvent& e : events)
            if (std::holds_alternative<Event>(e)) return true;
        return false;
    }

    QTemporaryDir folder;
    std::unique_ptr<sim::SimPort> port;
    CalculatorSession session;
    std::vector<SessionEvent> events;
};

TEST(CalculatorSession, TwoSessionsServeTwoCalculatorsAtOnceWithoutCrossing)
{
    Served a, b;
    ASSERT_TRUE(a.session.Connected() && b.session.Connected());
    ASSERT_TRUE(a.session.Transfers().KermitServerRunning() && b.session.Transfers().KermitServerRunning());
    const ByteString first = RandomBytes(6000, 1), second = RandomBytes(4500, 2);

    auto pushA = Push(*a.port, "FIRST.CA", first);
    auto pushB = Push(*b.port, "SECOND.CA", second);
    const bool ended = ServeUntil([&] { return Ready(pushA) && Ready(pushB); }, LimitMs);
    ASSERT_TRUE(ended) << "the pushes did not end within " << LimitMs << " ms";
    const sim::KermitResult ra = pushA.get(), rb = pushB.get();
    ASSERT_TRUE(ra.ok) << ra.error;
    ASSERT_TRUE(rb.ok) << rb.error;

    // Each file in its own session's folder, nothing in the other's.
    EXPECT_EQ(ReadFile(a.folder.filePath("FIRST.CA")), first);
    EXPECT_EQ(ReadFile(b.folder.filePath("SECOND.CA")), second);
    EXPECT_FALSE(QFile::exists(a.folder.filePath("SECOND.CA")));
    EXPECT_FALSE(QFile::exists(b.folder.filePath("FIRST.CA")));

    // Each session told its own transfer, start to a good end, and only its own.
    struct Case {
        const Served& served;
        std::string file;
        std::size_t size;
    } const cases[] = {{a, "FIRST.CA", first.size()}, {b, "SECOND.CA", second.size()}};
    for (const Case& c : cases) {
        const auto transfers = c.served.Transfers();
        ASSERT_FALSE(transfers.empty()) << c.file;
        EXPECT_EQ(transfers.front().stage, TransferStage::Started) << c.file;
        EXPECT_TRUE(transfers.back().Succeeded()) << c.file;
        for (const TransferEvent& t : transfers) {
            EXPECT_EQ(t.file, c.file);
            EXPECT_EQ(t.kind, TransferKind::KermitReceive);
            EXPECT_LE(t.done, static_cast<int64_t>(c.size));
        }
        EXPECT_TRUE(c.served.Saw<ActivityEvent>()) << c.file;
    }
}

TEST(CalculatorSession, APseudoTerminalThatHangsUpIsLetGoForGood)
{
    Served s;
    s.port->Hangup();
    ASSERT_TRUE(ServeUntil([&] { return s.Saw(LinkEvent::Change::HungUp); }, 5000)) << "no HungUp event";
    EXPECT_TRUE(s.session.HungUp());
    EXPECT_FALSE(s.session.Connected());
    EXPECT_FALSE(s.session.Transfers().KermitServerRunning());
    // Looking again changes nothing: the number may belong to another terminal by now.
    s.session.CheckDevice();
    EXPECT_FALSE(s.session.Connected());
    EXPECT_FALSE(s.Saw(LinkEvent::Change::Back));
    EXPECT_FALSE(s.Saw(LinkEvent::Change::Lost));
}

TEST(CalculatorSession, ALentLinkIsServedAgainWhenGivenBackEvenIfTheBorrowerClosedIt)
{
    Served s;
    {
        auto loan = s.session.BorrowLink();
        EXPECT_FALSE(s.session.Transfers().KermitServerRunning()) << "the Kermit server kept the link under a loan";
        EXPECT_THROW(s.session.BorrowLink(), std::logic_error);
        loan->operator*().Close(); // the screen capture leaves the link closed
    }
    EXPECT_TRUE(s.session.Connected());
    ASSERT_TRUE(s.session.Transfers().KermitServerRunning());

    // The server that made way for the loan said so; the calculator reads it first.
    const ByteString word = s.port->ReceiveUntil(ByteString("\r"), 2000);
    EXPECT_NE(word.find("User cancel"), std::string::npos) << HexBytes(word);
    const ByteString data = RandomBytes(700, 3);
    auto push = Push(*s.port, "AFTER.CA", data);
    ASSERT_TRUE(ServeUntil([&] { return Ready(push); }, LimitMs));
    const sim::KermitResult r = push.get();
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(ReadFile(s.folder.filePath("AFTER.CA")), data);
}

TEST(CalculatorSession, AScreenIsReadThroughTheSessionAndTheServerServesAfterTheHold)
{
    Served s;
    const ByteString screen = EncodeScreen(GraphScreen(), PushedScreenHeader);
    {
        const auto hold = s.session.HoldLink();
        EXPECT_FALSE(s.session.Transfers().KermitServerRunning()) << "the Kermit server kept the link under a hold";
        const std::unique_ptr<ScreenReader> reader = s.session.LendScreenReader();
        ASSERT_TRUE(reader) << "no reader on a chosen port";
        // While the reader has the link, nothing else of the session's may start.
        EXPECT_THROW(s.session.LendScreenReader(), std::logic_error);
        EXPECT_THROW(s.session.ReceiveObject("X", 0), std::logic_error);
        EXPECT_THROW(s.session.BorrowLink(), std::logic_error);

        ASSERT_TRUE(s.port->Send(screen));
        ByteString image;
        auto read = std::async(std::launch::async, [&] { reader->ReadScreen({}, image); });
        const bool whole = read.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        reader->Cancelled = true; // a read that hangs ends at its next look
        read.get();
        ASSERT_TRUE(whole) << "no screen within 5 s";
        EXPECT_EQ(HexBytes(image, 2000), HexBytes(screen, 2000));
        EXPECT_FALSE(s.session.Transfers().LinkOpen()) << "a screen read leaves the link closed";
        // Checks wait for the hold: the closed link is not reopened under the reader.
        s.session.CheckDevice();
        EXPECT_FALSE(s.session.Transfers().LinkOpen());
    }
    // The hold's end opens the link again and serves the calculator at once.
    EXPECT_TRUE(s.session.Connected());
    ASSERT_TRUE(s.session.Transfers().KermitServerRunning());
    s.port->Drain();
    const ByteString data = RandomBytes(500, 5);
    auto push = Push(*s.port, "SHOWN.CA", data);
    ASSERT_TRUE(ServeUntil([&] { return Ready(push); }, LimitMs));
    const sim::KermitResult r = push.get();
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(ReadFile(s.folder.filePath("SHOWN.CA")), data);
}

TEST(CalculatorSession, APushedScreenIsToldAndTheServerListensAgain)
{
    Served s;
    KermitServer* before = s.session.Transfers().Kermit();
    ASSERT_TRUE(before);
    ASSERT_TRUE(s.port->Send(ByteString(1, '\x80')));
    ASSERT_TRUE(ServeUntil([&] { return s.Saw<ScreenPushEvent>(); }, 5000)) << "no ScreenPushEvent";
    // Nobody borrowed the link for the screen: the session serves again.
    ASSERT_TRUE(ServeUntil([&] { return s.session.Transfers().KermitServerRunning(); }, 5000));
    s.port->Drain();
    const ByteString data = RandomBytes(300, 4);
    auto push = Push(*s.port, "NEXT.CA", data);
    ASSERT_TRUE(ServeUntil([&] { return Ready(push); }, LimitMs));
    const sim::KermitResult r = push.get();
    ASSERT_TRUE(r.ok) << r.error;
}

} // namespace
