// SPDX-License-Identifier: GPL-3.0-or-later
// A class of calculators in one process, against virtual calculators on pseudo-
// terminals: each calculator's files land in its own inbox (same names included), the
// class fetches from the served folder, and a class that follows every calculator found
// picks up one plugged in later and lets go of one that leaves.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <vector>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "services/CalculatorClass.h"
#include "tests/services/TransferFixture.h"
#include "tests/support/ScopedSettings.h"
#include "tests/support/Serving.h"
#include "tests/support/SimCalculator.h"
#include "tools/sim/KermitRole.h"
#include "tools/sim/SimPort.h"
#include "util/Ticks.h"
#include "util/Utils.h"

using namespace testing_services;

namespace {

constexpr int LimitMs = 20000;

// Runs the calculators' scripts while the class serves; every one must succeed.
void Expect(std::vector<std::future<sim::KermitResult>*> scripts)
{
    ASSERT_TRUE(ServeUntil(
        [&] {
            for (auto* s : scripts)
                if (!Ready(*s)) return false;
            return true;
        },
        LimitMs))
        << "the calculators did not end within " << LimitMs << " ms";
    for (auto* s : scripts) {
        const sim::KermitResult r = s->get();
        ASSERT_TRUE(r.ok) << r.error;
    }
}

struct ClassOnPtys {
    explicit ClassOnPtys(SameName rule)
    {
        CalculatorClass::Setup setup;
        setup.folder = served.path().toStdString();
        setup.sameName = rule;
        calculators = std::make_unique<CalculatorClass>(setup);
        calculators->onEvent = [this](const CalculatorClass::Member& m, const SessionEvent& e) {
            if (const auto* t = std::get_if<TransferEvent>(&e); t && t->stage == TransferStage::Ended)
                ended.emplace_back(m.label, *t);
        };
    }
    ScopedSettings settings;
    QTemporaryDir served;
    std::unique_ptr<CalculatorClass> calculators;
    std::vector<std::pair<std::string, TransferEvent>> ended; // by label
};

TEST(CalculatorClass, EachCalculatorPushesIntoItsOwnInboxAndFetchesFromTheServedFolder)
{
    ClassOnPtys c(SameName::KeepBoth);
    auto ana = sim::CreatePtyPort();
    auto ben = sim::CreatePtyPort();
    SetClassLabel(ana->ProgramPortName(), "Ana");
    const std::string benInbox = InboxName(ben->ProgramPortName());
    ASSERT_EQ(c.calculators->Add(ana->ProgramPortName()).inbox, c.served.filePath("Ana").toStdString());
    ASSERT_EQ(c.calculators->Add(ben->ProgramPortName()).label, ben->ProgramPortName()) << "no label: the port's name";
    const QDir anaBox(c.served.filePath("Ana")), benBox(c.served.filePath(QString::fromStdString(benInbox)));
    ASSERT_TRUE(anaBox.exists() && benBox.exists()) << "the inboxes are made when the calculators join";

    // Both send an answer of the same name at once.
    const ByteString a1 = RandomBytes(3000, 1), b1 = RandomBytes(2500, 2), a2 = RandomBytes(900, 3);
    auto pushA = Push(*ana, "ANSWER.TXT", a1);
    auto pushB = Push(*ben, "ANSWER.TXT", b1);
    Expect({&pushA, &pushB});
    EXPECT_EQ(ReadFile(anaBox.filePath("ANSWER.TXT")), a1);
    EXPECT_EQ(ReadFile(benBox.filePath("ANSWER.TXT")), b1);
    EXPECT_FALSE(QFile::exists(c.served.filePath("ANSWER.TXT"))) << "a pushed file landed in the served folder";

    // Ana sends again under the same name: both of hers are kept.
    auto again = Push(*ana, "ANSWER.TXT", a2);
    Expect({&again});
    EXPECT_EQ(ReadFile(anaBox.filePath("ANSWER.TXT")), a1);
    EXPECT_EQ(ReadFile(anaBox.filePath("ANSWER (2).TXT")), a2);
    EXPECT_EQ(ReadFile(benBox.filePath("ANSWER.TXT")), b1);

    // The handout is fetched from the served folder, not from the inbox.
    const ByteString task = RandomBytes(1200, 4);
    WriteStringToFile(task, c.served.filePath("TASK.TXT").toStdString());
    auto fetch = Fetch(*ben, "TASK.TXT");
    ASSERT_TRUE(ServeUntil([&] { return Ready(fetch); }, LimitMs));
    const sim::KermitResult fetched = fetch.get();
    ASSERT_TRUE(fetched.ok) << fetched.error;
    EXPECT_EQ(fetched.data, task);

    // Every transfer was told with the calculator it belongs to.
    int anaReceived = 0, benReceived = 0, benSent = 0;
    for (const auto& [label, t] : c.ended) {
        EXPECT_TRUE(t.Succeeded()) << label << " " << t.file;
        if (t.kind == TransferKind::KermitReceive) ++(label == "Ana" ? anaReceived : benReceived);
        if (t.kind == TransferKind::KermitSend && label == ben->ProgramPortName()) ++benSent;
    }
    EXPECT_EQ(anaReceived, 2);
    EXPECT_EQ(benReceived, 1);
    EXPECT_EQ(benSent, 1);
}

TEST(CalculatorClass, TwoCalculatorsGivenOneLabelKeepTwoInboxes)
{
    ClassOnPtys c(SameName::Replace);
    auto one = sim::CreatePtyPort();
    auto two = sim::CreatePtyPort();
    SetClassLabel(one->ProgramPortName(), "Table 4");
    SetClassLabel(two->ProgramPortName(), "Table 4");
    const auto& first = c.calculators->Add(one->ProgramPortName());
    const auto& second = c.calculators->Add(two->ProgramPortName());
    EXPECT_EQ(first.label, "Table 4");
    EXPECT_EQ(second.label, "Table 4 (2)");
    ASSERT_NE(first.inbox, second.inbox);
    const ByteString a = RandomBytes(500, 8), b = RandomBytes(600, 9);
    auto pushA = Push(*one, "SAME.TXT", a);
    auto pushB = Push(*two, "SAME.TXT", b);
    Expect({&pushA, &pushB});
    EXPECT_EQ(ReadFile(QString::fromStdString(first.inbox + "/SAME.TXT")), a);
    EXPECT_EQ(ReadFile(QString::fromStdString(second.inbox + "/SAME.TXT")), b);
}

TEST(CalculatorClass, KeepingTheReplacedFileMovesItIntoTheHiddenFolder)
{
    ClassOnPtys c(SameName::KeepReplaced);
    auto calc = sim::CreatePtyPort();
    const auto& member = c.calculators->Add(calc->ProgramPortName());
    const QDir inbox(QString::fromStdString(member.inbox));
    const ByteString first = RandomBytes(800, 5), second = RandomBytes(700, 6);
    auto one = Push(*calc, "HW.TXT", first);
    Expect({&one});
    auto two = Push(*calc, "HW.TXT", second);
    Expect({&two});
    EXPECT_EQ(ReadFile(inbox.filePath("HW.TXT")), second);
    const QDir replaced(inbox.filePath(ReplacedFolder));
    const QStringList kept = replaced.entryList(QDir::Files);
    ASSERT_EQ(kept.size(), 1) << kept.join(", ").toStdString();
    EXPECT_EQ(ReadFile(replaced.filePath(kept[0])), first);
}

// The class follows what a finder lists, as FindCalculators lists /dev/serial/by-path:
// here links to pseudo-terminals in a folder of the test's own.
TEST(CalculatorClass, FollowingAllJoinsACalculatorPluggedInLaterAndLetsGoOfOneThatLeaves)
{
    ClassOnPtys c(SameName::KeepBoth);
    QTemporaryDir byPath;
    std::vector<std::string> joined, left;
    c.calculators->onJoined = [&](const CalculatorClass::Member& m) { joined.push_back(m.port); };
    c.calculators->onLeft = [&](const CalculatorClass::Member& m) { left.push_back(m.port); };
    c.calculators->FollowAll(
        [&] {
            std::vector<std::string> found;
            for (const QString& name : QDir(byPath.path()).entryList(QDir::System | QDir::Files))
                found.push_back(byPath.filePath(name).toStdString());
            return found;
        },
        100);
    EXPECT_TRUE(c.calculators->Members().empty());

    // A calculator is plugged in after the class began.
    auto calc = sim::CreatePtyPort();
    const std::string link = byPath.filePath("pci-0000:00:14.0-usb-0:2.3:1.0-port0").toStdString();
    std::filesystem::create_symlink(calc->ProgramPortName(), link);
    ASSERT_TRUE(ServeUntil(
        [&] {
            const auto* m = c.calculators->Find(link);
            return m && m->session->Connected() && m->session->Transfers().KermitServerRunning();
        },
        5000))
        << "the calculator plugged in later was not served";
    EXPECT_EQ(joined, std::vector<std::string>{link});
    const ByteString data = RandomBytes(1500, 7);
    auto push = Push(*calc, "LATE.TXT", data);
    Expect({&push});
    EXPECT_EQ(ReadFile(c.served.filePath("pci-0000:00:14.0-usb-0:2.3:1.0-port0/LATE.TXT")), data);

    // It leaves: its session lets go, the class carries on.
    std::filesystem::remove(link);
    ASSERT_TRUE(ServeUntil([&] { return c.calculators->Find(link) == nullptr; }, 5000)) << "the calculator that left is kept";
    EXPECT_EQ(left, std::vector<std::string>{link});
}

// A class opens its lines without waiting out each line's drain, and each line is still
// drained before its Kermit server listens: the S packets a calculator kept sending
// before it was served are never answered.
TEST(CalculatorClass, LinesOpenAtOnceAndEachIsDrainedBeforeItIsServed)
{
    ClassOnPtys c(SameName::KeepBoth);
    constexpr int Count = 4;
    constexpr int ChatterMs = 1000;
    std::vector<std::unique_ptr<sim::SimPort>> ports;
    std::vector<std::future<void>> chatter;
    for (int i = 0; i < Count; ++i) {
        ports.push_back(sim::CreatePtyPort());
        // The calculator repeats its S while nobody answers, then gives up.
        chatter.push_back(std::async(std::launch::async, [&port = *ports.back()] {
            sim::KermitCalculator calculator(port, Impatient);
            for (int ms = 0; ms < ChatterMs; ms += 50) {
                calculator.SendPacket('S', 0, "p* @-#N1");
                SleepMs(50);
            }
        }));
    }
    // Opened one after the other, each waiting for its quiet line, four lines would hold
    // the main thread for more than ChatterMs.
    const auto start = std::chrono::steady_clock::now();
    for (const auto& port : ports) c.calculators->Add(port->ProgramPortName());
    const auto addMs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(addMs, ChatterMs / 2) << "the lines were opened one after the other's drain";
    for (auto& f : chatter) f.get();

    for (std::size_t i = 0; i < ports.size(); ++i) {
        SCOPED_TRACE(ports[i]->ProgramPortName());
        // Each of the S packets above went into the drain, none into the server.
        sim::KermitCalculator calculator(*ports[i], Impatient);
        const auto answer = calculator.ReadPacket(600);
        EXPECT_FALSE(answer.has_value()) << "a stale packet was answered: " << answer->Describe();
        const ByteString data = RandomBytes(300, 20 + static_cast<uint32_t>(i));
        auto push = Push(*ports[i], "LATE.TXT", data);
        Expect({&push});
        const auto* member = c.calculators->Find(ports[i]->ProgramPortName());
        ASSERT_NE(member, nullptr);
        EXPECT_EQ(ReadFile(QString::fromStdString(member->inbox + "/LATE.TXT")), data);
    }
}

TEST(CalculatorClass, InboxNamesStayInsideTheServedFolder)
{
    const std::pair<const char*, const char*> cases[] = {
        {"usb:1-2.3", "usb:1-2.3"},
        {"Ana", "Ana"},
        {"/dev/pts/4", "pts_4"},
        {"/dev/serial/by-path/pci-0000:00:14.0-usb-0:2.3:1.0-port0", "pci-0000:00:14.0-usb-0:2.3:1.0-port0"},
        {"/tmp/x/by-path/port1", "port1"},
        {"../up", "_up"},
        {"..", "calculator"},
        {"a/b", "a_b"},
        {"", "calculator"},
    };
    for (const auto& [label, inbox] : cases) EXPECT_EQ(InboxName(label), inbox) << label;
}

} // namespace
