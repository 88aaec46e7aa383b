// SPDX-License-Identifier: GPL-3.0-or-later
// The Kermit server dialogue, played by the virtual calculator over a real link.
#include "tests/support/KermitEngineFixture.h"

#include "kermit/KermitFrame.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/Serving.h"
#include "tests/support/TraceWatch.h"
#include "util/HostInterfaces.h"
#include "util/Ticks.h"
#include "util/Utils.h"

#include <algorithm>
#include <map>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

using namespace kermit;
using sim::KermitCalculator;
using sim::KermitPacket;
using sim::KermitResult;

namespace {

std::string Show(const KermitResult& r)
{
    std::string s = r.ok ? "ok" : "failed: " + r.error;
    for (const auto& p : r.received) s += "\n  PC: " + p.Describe();
    return s;
}

TEST_F(KermitEngineTest, PushedFilesArriveByteIdentical)
{
    struct Case {
        const char* name;
        ByteString data;
    } cases[] = {
        {"EMPTY.QVA", ""},
        {"ALL256.BIN", AllByteValues(256 * 4)},
        {"PROG.QVA", AllByteValues(5000, 3)},
        {"TEXT.TXT", "line one\r\nline #2 with ## and \x7f\r\n"},
    };
    for (const auto& c : cases) {
        KermitResult r;
        ASSERT_TRUE(Calculator([&] { r = KermitCalculator(*port).PushFile(c.name, c.data); }));
        ASSERT_TRUE(r.ok) << c.name << ": " << Show(r);
        EXPECT_EQ(ReadFileToString(FolderPath(c.name)), c.data) << c.name;
    }
    EXPECT_EQ(FolderEntries().size(), 4) << FolderEntries().join(", ").toStdString();
    EXPECT_EQ(windows.dialog.Captions().front(), "Receiving EMPTY.QVA");
}

TEST_F(KermitEngineTest, SendInitExchange)
{
    // Calculator sends S; the PC answers Y with its fixed parameters, with S's number.
    std::optional<KermitPacket> answer;
    ASSERT_TRUE(Calculator([&] { answer = KermitCalculator(*port).Exchange('S', 5, "p* @-#N1"); }));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->type, 'Y');
    EXPECT_EQ(answer->seq, 5);
    EXPECT_EQ(answer->data, "~* @-#Y1");
}

TEST_F(KermitEngineTest, FetchedFileArrivesByteIdentical)
{
    const ByteString data = AllByteValues(3000, 11);
    WriteStringToFile(data, FolderPath("GAME.QVA"));
    KermitResult r;
    ASSERT_TRUE(Calculator([&] { r = KermitCalculator(*port).FetchFile("GAME.QVA"); }));
    ASSERT_TRUE(r.ok) << Show(r);
    EXPECT_EQ(r.data, data);
    // S with sequence 0 and the fixed parameters; then F 1 with the bare name.
    ASSERT_GE(r.received.size(), 5u);
    EXPECT_EQ(r.received[0].type, 'S');
    EXPECT_EQ(r.received[0].seq, 0);
    EXPECT_EQ(r.received[0].data, "~* @-#Y1");
    EXPECT_EQ(r.received[1].type, 'F');
    EXPECT_EQ(r.received[1].seq, 1);
    EXPECT_EQ(r.received[1].data, "GAME.QVA");
    for (const auto& p : r.received) {
        if (p.type == 'D') {
            EXPECT_LE(p.data.size(), MaxSendData);
        }
    }
    EXPECT_EQ(windows.dialog.Captions().back(), "Sending GAME.QVA");
}

TEST_F(KermitEngineTest, EmptyFileIsFetchedAsSFZB)
{
    WriteStringToFile("", FolderPath("NONE"));
    KermitResult r;
    ASSERT_TRUE(Calculator([&] { r = KermitCalculator(*port).FetchFile("NONE"); }));
    ASSERT_TRUE(r.ok) << Show(r);
    std::string types;
    for (const auto& p : r.received) types += p.type;
    EXPECT_EQ(types, "SFZB");
}

TEST_F(KermitEngineTest, MissingFileIsAnsweredWithE)
{
    KermitResult r;
    ASSERT_TRUE(Calculator([&] { r = KermitCalculator(*port).FetchFile("GONE.QVA"); }));
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(r.received.size(), 1u) << Show(r);
    EXPECT_EQ(r.received[0].type, 'E');
    EXPECT_EQ(r.received[0].data, "File does not exist");
}

TEST_F(KermitEngineTest, HostileNamesAreRefusedAndNothingIsWritten)
{
    QTemporaryDir outside;
    const std::string escape = "../" + QDir(folder.path()).relativeFilePath(outside.filePath("EVIL")).toStdString();
    for (const std::string& name :
         {std::string("../EVIL"), escape, outside.filePath("ABS").toStdString(), std::string(), std::string("..")}) {
        KermitResult push, fetch;
        ASSERT_TRUE(Calculator([&] {
            KermitCalculator calc(*port);
            push = calc.PushFile(name, "payload");
            fetch = calc.FetchFile(name);
        }));
        EXPECT_FALSE(push.ok) << "push \"" << name << "\"";
        EXPECT_EQ(push.error, "Invalid file name") << Show(push);
        EXPECT_FALSE(fetch.ok) << "fetch \"" << name << "\"";
        EXPECT_EQ(fetch.error, "Invalid file name") << Show(fetch);
    }
    EXPECT_TRUE(FolderEntries().isEmpty());
    EXPECT_TRUE(QDir(outside.path()).isEmpty());
}

// The calculator's packets one by one, each answered before the next.
struct Exchange {
    char type;
    int seq;
    ByteString data;
    char answer; // the PC's packet type
    int answerSeq;
};

void Play(KermitCalculator& calc, const std::vector<Exchange>& steps)
{
    for (const auto& s : steps) {
        calc.SendPacket(s.type, s.seq, s.data);
        const auto p = calc.ReadPacket(4000);
        ASSERT_TRUE(p) << "no answer to " << s.type << " " << s.seq;
        EXPECT_EQ(p->type, s.answer) << "answer to " << s.type << " " << s.seq << ": " << p->Describe();
        EXPECT_EQ(p->seq, s.answerSeq) << "answer to " << s.type << " " << s.seq << ": " << p->Describe();
    }
}

TEST_F(KermitEngineTest, RepeatedSkippedAndWrappingSequenceNumbers)
{
    ASSERT_TRUE(Calculator([&] {
        KermitCalculator calc(*port);
        Play(calc, {
                       {'S', 61, "p", 'Y', 61},
                       {'F', 62, "SEQ.BIN", 'Y', 62},
                       {'D', 63, "ab", 'Y', 63},
                       {'D', 63, "ab", 'Y', 63}, // its Y was lost: acknowledged again, not appended
                       {'D', 1, "xx", 'N', 1},   // two ahead: N with its own number
                       {'D', 0, "c#M", 'Y', 0},  // 63 wraps to 0
                       {'D', 1, "d", 'Y', 1},
                       {'Z', 2, "", 'Y', 2},
                       {'Z', 2, "", 'Y', 2}, // a repeated Z while idle: acknowledged, nothing written
                       {'B', 3, "", 'Y', 3},
                   });
    }));
    EXPECT_EQ(ReadFileToString(FolderPath("SEQ.BIN")), "abc\rd");
}

TEST_F(KermitEngineTest, ExistingFileReplacedOnlyByACompleteOne)
{
    WriteStringToFile("old contents", FolderPath("KEEP.QVA"));
    ASSERT_TRUE(Calculator([&] {
        KermitCalculator calc(*port);
        Play(calc, {
                       {'S', 0, "p", 'Y', 0},
                       {'F', 1, "KEEP.QVA", 'Y', 1},
                       {'D', 2, "new", 'Y', 2},
                       {'E', 3, "calculator gave up", 'Y', 3},
                       {'F', 4, "KEEP.QVA", 'Y', 4},
                       {'D', 5, "xyz", 'Y', 5},
                       {'Z', 6, "D", 'Y', 6}, // the sender discards the file
                   });
    }));
    EXPECT_EQ(ReadFileToString(FolderPath("KEEP.QVA")), "old contents");
    ASSERT_TRUE(Calculator([&] { ASSERT_TRUE(KermitCalculator(*port).PushFile("KEEP.QVA", "new contents").ok); }));
    EXPECT_EQ(ReadFileToString(FolderPath("KEEP.QVA")), "new contents");
    EXPECT_EQ(FolderEntries(), QStringList{"KEEP.QVA"});
}

// A file that cannot be stored (here a folder has its name) is answered with E, also
// when the calculator repeats its Z: a Y would tell it the file had arrived.
TEST_F(KermitEngineTest, AFileThatCannotBeStoredIsRefusedNotAcknowledged)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir("TAKEN.QVA"));
    ASSERT_TRUE(Calculator([&] {
        KermitCalculator calc(*port);
        Play(calc, {
                       {'S', 0, "p", 'Y', 0},
                       {'F', 1, "TAKEN.QVA", 'Y', 1},
                       {'D', 2, "data", 'Y', 2},
                       {'Z', 3, "", 'E', 3},
                       {'Z', 3, "", 'E', 3}, // a repeat after the E: the file was not stored, still no Y
                   });
    }));
    KermitResult r;
    ASSERT_TRUE(Calculator([&] { r = KermitCalculator(*port).PushFile("TAKEN.QVA", "data"); }));
    EXPECT_FALSE(r.ok) << Show(r);
    EXPECT_EQ(r.error, "Cannot store file: Is a directory") << Show(r);
    EXPECT_TRUE(FolderEntries().isEmpty()) << "no temporary file is left";
    EXPECT_TRUE(QDir(QString::fromStdString(FolderPath("TAKEN.QVA"))).isEmpty());
}

// The disk fills while the pushed file is stored: the calculator is told, the older file
// of that name is kept whole, and the next file, which fits, arrives.
TEST_F(KermitEngineTest, AFullDiskRefusesTheFileAndKeepsTheOlderOne)
{
    WriteStringToFile("older version", FolderPath("BIG.QVA"));
    KermitResult tooBig, fits;
    {
        ScopedFileSizeLimit full(8192);
        ASSERT_TRUE(full.Active());
        ASSERT_TRUE(Calculator([&] {
            tooBig = KermitCalculator(*port).PushFile("BIG.QVA", AllByteValues(20000));
            fits = KermitCalculator(*port).PushFile("SMALL.QVA", AllByteValues(3000));
        }));
    }
    EXPECT_FALSE(tooBig.ok) << Show(tooBig);
    EXPECT_EQ(tooBig.error, "Cannot store file: File too large") << Show(tooBig);
    // Told at the packet that met the limit: every D acknowledged before the E is on disk,
    // and the one the E answers is the first that did not fit.
    const auto fields = KermitCalculator(*port).DataFields(AllByteValues(20000));
    const auto ys =
        std::count_if(tooBig.received.begin(), tooBig.received.end(), [](const KermitPacket& p) { return p.type == 'Y'; });
    const auto dataYs = static_cast<std::size_t>(ys - 2); // those to the S and the F
    ASSERT_LT(dataYs, fields.size()) << Show(tooBig);
    std::size_t stored = 0;
    for (std::size_t i = 0; i < dataYs; ++i) stored += DecodeData(fields[i]).size();
    EXPECT_LE(stored, 8192u) << Show(tooBig);
    EXPECT_GT(stored + DecodeData(fields[dataYs]).size(), 8192u) << Show(tooBig);
    EXPECT_EQ(tooBig.received.back().type, 'E');
    EXPECT_TRUE(fits.ok) << Show(fits);
    EXPECT_EQ(ReadFileToString(FolderPath("BIG.QVA")), "older version");
    EXPECT_EQ(ReadFileToString(FolderPath("SMALL.QVA")), AllByteValues(3000));
    EXPECT_EQ(FolderEntries(), (QStringList{"BIG.QVA", "SMALL.QVA"}));
}

TEST_F(KermitEngineTest, MessagesAndErrorsAreAcknowledged)
{
    ASSERT_TRUE(Calculator([&] {
        KermitCalculator calc(*port);
        Play(calc, {{'M', 4, "hello", 'Y', 4}, {'E', 5, "oops", 'Y', 5}, {'I', 6, "p", 'Y', 6}});
    }));
}

// A calculator that keeps asking for the S again: the engine repeats it until its retry
// limit, then gives the fetch up with an E that says why, and the user is told too.
TEST_F(KermitEngineTest, EndlessNsWhileSendingEndInAnE)
{
    WriteStringToFile("data", FolderPath("F.BIN"));
    ASSERT_TRUE(Calculator([&] {
        KermitCalculator calc(*port);
        calc.SendPacket('R', 0, "F.BIN");
        auto s = calc.ReadPacket(4000);
        ASSERT_TRUE(s && s->type == 'S') << (s ? s->Describe() : "nothing");
        for (int i = 1; i <= KermitServer::MaxRetries; ++i) {
            calc.SendPacket('N', 0, "");
            const auto p = calc.ReadPacket(4000);
            ASSERT_TRUE(p) << "no answer to N #" << i;
            ASSERT_EQ(p->type, 'S') << "N #" << i << " repeats the current packet: " << p->Describe();
            ASSERT_EQ(p->seq, 0) << p->Describe();
        }
        calc.SendPacket('N', 0, "");
        const auto p = calc.ReadPacket(4000);
        ASSERT_TRUE(p) << "the engine gave up without a word";
        EXPECT_EQ(p->type, 'E') << p->Describe();
        EXPECT_EQ(p->data, "Too many errors");
    }));
    EXPECT_TRUE(ServeUntil([&] { return !windows.dialog.IsStatusVisible(); }, 3000)) << "the dialog stayed open";
    ASSERT_FALSE(windows.dialog.LogLines().empty());
    EXPECT_EQ(windows.dialog.LogLines().back(), "Sending F.BIN failed: too many errors on the line");
}

// What a noisy line makes of the calculator's answer to one packet of a fetch. The
// calculator here is a plain Kermit receiver: it takes a packet with the number it
// expects, acknowledges a repeat of the one before without taking it again, and asks
// with N for the packet it waits for.
TEST_F(KermitEngineTest, LostAndLateAnswersDuringAFetchNeitherRepeatNorSkipData)
{
    enum class Answer {
        NextN,      // its Y was lost; the calculator timed out and asks for the next packet
        OwnN,       // the packet arrived damaged: the calculator asks for it again
        LateNThenY, // an N for the packet before, held up on the line, then the Y
        TwoYs,      // the same Y twice
        Silence,    // its Y was lost and the calculator waits
    };
    struct Case {
        const char* name;
        char type;      // the packet whose answer goes wrong
        int occurrence; // the how-many-th of its type
        Answer answer;
    } cases[] = {
        {"Y to the S lost, N 1", 'S', 1, Answer::NextN},          {"Y to the F lost, N 2", 'F', 1, Answer::NextN},
        {"Y to a D lost, N for the next", 'D', 3, Answer::NextN}, {"Y to the last D lost, N for the Z", 'D', 18, Answer::NextN},
        {"Y to the Z lost, N for the B", 'Z', 1, Answer::NextN},  {"a D damaged, N for it", 'D', 2, Answer::OwnN},
        {"late N for the D before", 'D', 5, Answer::LateNThenY},  {"Y twice", 'D', 4, Answer::TwoYs},
        {"Y lost, calculator silent", 'D', 6, Answer::Silence},
    };
    const ByteString data = AllByteValues(1000, 13); // 18 D packets
    WriteStringToFile(data, FolderPath("FETCH.BIN"));
    for (const auto& c : cases) {
        ByteString got;
        std::string trail;
        ASSERT_TRUE(Calculator([&] {
            KermitCalculator calc(*port);
            calc.SendPacket('R', 0, "FETCH.BIN");
            int expected = 0;
            std::map<char, int> seen;
            bool faulted = false;
            for (int i = 0; i < 100; ++i) {
                const auto p = calc.ReadPacket(4000);
                ASSERT_TRUE(p) << "the PC fell silent after" << trail;
                trail += std::string(" ") + p->type + std::to_string(p->seq);
                ASSERT_NE(p->type, 'E') << trail << ": " << p->data;
                const int previous = (expected + 63) % 64;
                if (p->seq != expected) {
                    ASSERT_EQ(p->seq, previous) << "neither the next packet nor a repeat:" << trail;
                    calc.SendPacket('Y', p->seq, "");
                    continue;
                }
                expected = (expected + 1) % 64;
                if (p->type == 'D') got += DecodeData(p->data);
                const ByteString ackData = p->type == 'S' ? "p* @-#N1" : "";
                if (!faulted && p->type == c.type && ++seen[p->type] == c.occurrence) {
                    faulted = true;
                    switch (c.answer) {
                    case Answer::NextN:
                        calc.SendPacket('N', expected, "");
                        continue;
                    case Answer::OwnN:
                        // Not taken: it arrived damaged.
                        if (p->type == 'D') got.resize(got.size() - DecodeData(p->data).size());
                        expected = p->seq;
                        calc.SendPacket('N', p->seq, "");
                        continue;
                    case Answer::LateNThenY:
                        calc.SendPacket('N', previous, "");
                        break;
                    case Answer::TwoYs:
                        calc.SendPacket('Y', p->seq, ackData);
                        break;
                    case Answer::Silence:
                        continue;
                    }
                }
                calc.SendPacket('Y', p->seq, ackData);
                if (p->type == 'B') break;
            }
            ASSERT_NE(trail.find('B'), std::string::npos) << "the fetch did not end:" << trail;
        })) << c.name;
        EXPECT_EQ(got.size(), data.size()) << c.name << ":" << trail;
        EXPECT_EQ(got, data) << c.name << ":" << trail;
    }
}

TEST_F(KermitEngineTest, RepeatedYDoesNotSkipAPacket)
{
    const ByteString data = AllByteValues(400, 5);
    WriteStringToFile(data, FolderPath("R.BIN"));
    ByteString got;
    ASSERT_TRUE(Calculator([&] {
        KermitCalculator calc(*port);
        calc.SendPacket('R', 0, "R.BIN");
        int expected = 0;
        bool duplicated = false;
        for (int i = 0; i < 40; ++i) {
            const auto p = calc.ReadPacket(4000);
            ASSERT_TRUE(p);
            ASSERT_EQ(p->seq, expected % 64) << p->Describe();
            if (p->type == 'D') got += DecodeData(p->data);
            calc.SendPacket('Y', p->seq, "");
            if (p->type == 'D' && !duplicated) {
                calc.SendPacket('Y', p->seq, ""); // the same Y twice
                duplicated = true;
            }
            ++expected;
            if (p->type == 'B') break;
        }
    }));
    EXPECT_EQ(got, data);
}

TEST_F(KermitEngineTest, CancelInTheDialogSendsE)
{
    windows.dialog.onReport = [&](const StatusReport& r) {
        if (r.kind == StatusKind::Progress && r.done > 0) windows.dialog.Cancel();
    };
    KermitResult r;
    ASSERT_TRUE(Calculator([&] { r = KermitCalculator(*port).PushFile("BIG.BIN", AllByteValues(2000)); }));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "Canceled by PC") << Show(r);
    EXPECT_TRUE(FolderEntries().isEmpty());
    // The cancel reached the engine as a call, and the transfer ended as the user's.
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().stage, TransferStage::Ended);
    EXPECT_EQ(events.back().outcome, TransferOutcome::Cancelled);
    EXPECT_EQ(events.back().reason, TransferReason::UserCancelled);
}

TEST_F(KermitEngineTest, ScreenPushWhileIdleEndsTheEngine)
{
    port->Send("\x80");
    EXPECT_TRUE(ServeUntil([&] { return engine->isFinished(); }, 5000));
    EXPECT_EQ(windows.host.captureRequests.load(), 1);
}

TEST_F(KermitEngineTest, ScreenPushDuringATransferEndsTheEngineWithoutCapture)
{
    ASSERT_TRUE(Calculator([&] {
        KermitCalculator calc(*port);
        Play(calc, {{'S', 0, "p", 'Y', 0}, {'F', 1, "X", 'Y', 1}});
        port->Send("\x80");
    }));
    EXPECT_TRUE(ServeUntil([&] { return engine->isFinished(); }, 5000));
    EXPECT_EQ(windows.host.captureRequests.load(), 0);
}

TEST_F(KermitEngineTest, ActivityAtOnceAndFourSecondsAfter)
{
    std::vector<std::pair<bool, uint32_t>> calls;
    engine->OnActivity = [&](KermitServer* k) { calls.push_back({k->Busy.load(), Now()}); };
    uint32_t ended = 0;
    ASSERT_TRUE(Calculator([&] {
        ASSERT_TRUE(KermitCalculator(*port).PushFile("A.BIN", "abc").ok);
        ended = Now();
    }));
    ASSERT_TRUE(ServeUntil([&] { return calls.size() >= 2; }, 7000));
    EXPECT_TRUE(calls[0].first);
    EXPECT_FALSE(calls[1].first);
    const int32_t idleAfter = static_cast<int32_t>(calls[1].second - ended);
    EXPECT_GE(idleAfter, 3500);
    EXPECT_LE(idleAfter, 5500);
    // Once only while it stays idle.
    ServeUntil([] { return false; }, 4500);
    EXPECT_EQ(calls.size(), 2u);
}

TEST_F(KermitEngineTest, StopOnSerialSaysUserCancel)
{
    Connect(Wire::Serial);
    ASSERT_TRUE(Calculator([&] {
        KermitCalculator calc(*port);
        Play(calc, {{'S', 0, "p", 'Y', 0}, {'F', 1, "X", 'Y', 1}});
    }));
    const uint32_t before = Now();
    StopEngine();
    EXPECT_LT(TicksSince(before), 4000u);
    std::optional<KermitPacket> last;
    ASSERT_TRUE(Calculator([&] { last = KermitCalculator(*port).ReadPacket(3000); }));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->type, 'E');
    EXPECT_EQ(last->data, "User cancel");
}

TEST_F(KermitEngineTest, StopOnUsbSaysNothing)
{
    StopEngine();
    std::optional<KermitPacket> last;
    ASSERT_TRUE(Calculator([&] { last = KermitCalculator(*port).ReadPacket(1500); }));
    EXPECT_FALSE(last) << last->Describe();
}

TEST_F(KermitEngineTest, FaultyLineStillDeliversTheFile)
{
    const ByteString data = AllByteValues(1500, 9);
    sim::FaultPlan faults;
    faults.corruptByte = 0.002;
    faults.dropByte = 0.002;
    faults.seed = 42;
    port->SetFaults(faults);
    KermitResult r;
    ASSERT_TRUE(Calculator([&] { r = KermitCalculator(*port).PushFile("NOISY.BIN", data); }, 90000));
    ASSERT_TRUE(r.ok) << Show(r);
    EXPECT_EQ(ReadFileToString(FolderPath("NOISY.BIN")), data);
}

} // namespace

namespace {

TEST_F(KermitEngineTest, VanishedSerialLineNeitherSpinsNorHangs)
{
    Connect(Wire::Serial);
    TraceWatch trace;
    port->Hangup();
    // Every failed read is answered, and when even the answer fails the engine waits a
    // second before listening again.
    ServeUntil([] { return false; }, 3000);
    const auto failures = trace.StartingWith("Kermit error:").size();
    EXPECT_GE(failures, 1u);
    EXPECT_LE(failures, 6u) << "the engine spins on a dead line";
    const uint32_t before = Now();
    StopEngine();
    EXPECT_LT(TicksSince(before), 2500u);
}

} // namespace

namespace {

// A stray screen-push byte between two D packets ends the engine; the next engine never
// saw the S and F, so it must not acknowledge the D and Z that follow: the calculator
// would take a file that was never stored for delivered.
TEST_F(KermitEngineTest, DataAndEndOfFileOfNoFileAreRefusedWithE)
{
    for (const Wire wire : {Wire::Usb, Wire::Serial}) {
        Connect(wire);
        ASSERT_TRUE(Calculator([&] {
            KermitCalculator calc(*port);
            Play(calc, {{'S', 62, "p", 'Y', 62}, {'F', 63, "LOST.QVA", 'Y', 63}, {'D', 0, "abc", 'Y', 0}});
            port->Send("\x80");
        }));
        ASSERT_TRUE(ServeUntil([&] { return engine->isFinished(); }, 5000)) << "the push byte did not end the engine";
        // The program starts a fresh engine, as the poll or calvyx-cli serve does.
        engine.reset();
        StartEngine();
        ASSERT_TRUE(Calculator([&] {
            KermitCalculator calc(*port);
            if (wire == Wire::Serial) {
                // The ending engine said "User cancel"; this calculator did not hear it.
                const auto cancel = calc.ReadPacket(2000);
                ASSERT_TRUE(cancel && cancel->type == 'E') << (cancel ? cancel->Describe() : "nothing");
            }
            Play(calc, {{'D', 1, "def", 'E', 1}, {'D', 0, "def", 'E', 0}, {'Z', 2, "", 'E', 2}});
        })) << (wire == Wire::Usb ? "USB" : "serial");
        EXPECT_TRUE(FolderEntries().isEmpty());
    }
}

// A lone N asks for the packet again; the fetch goes on and the file arrives whole.
TEST_F(KermitEngineTest, ALoneNDuringAFetchResendsThePacket)
{
    const ByteString data = AllByteValues(600, 9);
    WriteStringToFile(data, FolderPath("N.BIN"));
    ByteString got;
    std::vector<char> types;
    ASSERT_TRUE(Calculator([&] {
        KermitCalculator calc(*port);
        calc.SendPacket('R', 0, "N.BIN");
        bool naked = false;
        for (int i = 0; i < 40; ++i) {
            const auto p = calc.ReadPacket(4000);
            ASSERT_TRUE(p) << "no packet after " << types.size();
            types.push_back(static_cast<char>(p->type));
            if (p->type == 'D' && !naked) {
                naked = true;
                calc.SendPacket('N', p->seq, "");
                const auto again = calc.ReadPacket(4000);
                ASSERT_TRUE(again) << "no answer to the N";
                EXPECT_EQ(again->type, 'D');
                EXPECT_EQ(again->seq, p->seq);
                EXPECT_EQ(again->data, p->data) << "the N must bring the same packet again";
            }
            if (p->type == 'D') got += DecodeData(p->data);
            calc.SendPacket('Y', p->seq, "");
            if (p->type == 'B') break;
        }
    }));
    EXPECT_EQ(got, data);
    ASSERT_FALSE(types.empty());
    EXPECT_EQ(types.back(), 'B') << "the fetch did not end normally";
    EXPECT_EQ(std::count(types.begin(), types.end(), 'E'), 0) << "an N is no cancel: " << std::string(types.begin(), types.end());
}

// Only regular files of the folder go out: a link (here to a file outside), a pipe and
// a folder are answered as missing, and nothing waits on the pipe.
TEST_F(KermitEngineTest, FetchSendsOnlyRegularFilesOfTheFolder)
{
    QTemporaryDir outside;
    ASSERT_TRUE(outside.isValid());
    const std::string secret = outside.filePath("secret.txt").toStdString();
    WriteStringToFile("not for the calculator", secret);
    ASSERT_EQ(::symlink(secret.c_str(), FolderPath("LINK.BIN").c_str()), 0);
    ASSERT_EQ(::mkfifo(FolderPath("PIPE.BIN").c_str(), 0600), 0);
    ASSERT_TRUE(QDir(folder.path()).mkdir("DIR.BIN"));
    for (const char* name : {"LINK.BIN", "PIPE.BIN", "DIR.BIN"}) {
        KermitResult r;
        const uint32_t start = Now();
        ASSERT_TRUE(Calculator([&] { r = KermitCalculator(*port).FetchFile(name); }, 10000)) << name;
        EXPECT_FALSE(r.ok) << name;
        EXPECT_EQ(r.error, "File does not exist") << name << ": " << Show(r);
        EXPECT_LT(TicksSince(start), 5000u) << name;
    }
}

// A sender that gave up without a word (its E lost) leaves the engine repeating its last
// Y; after the stale limit it stops and serves the next push.
TEST_F(KermitEngineTest, AStaleReceiveGivesUpAndTheNextPushArrives)
{
    engine->SetStaleTransferLimit(2500);
    ASSERT_TRUE(Calculator(
        [&] {
            KermitCalculator calc(*port);
            Play(calc, {{'S', 0, "p", 'Y', 0}, {'F', 1, "GONE.QVA", 'Y', 1}, {'D', 2, "abc", 'Y', 2}});
            // Silence: the PC repeats its Y for a while, then gives up and says so.
            int repeats = 0;
            uint32_t lastRepeat = Now();
            std::optional<KermitPacket> last;
            while (const auto p = calc.ReadPacket(2500)) {
                ++repeats;
                lastRepeat = Now();
                last = p;
                ASSERT_LT(repeats, 10) << "the PC goes on repeating " << p->Describe();
            }
            EXPECT_GE(repeats, 2) << "the last Y is repeated while the sender may come back";
            EXPECT_LT(TicksSince(lastRepeat), 6000u);
            ASSERT_TRUE(last);
            EXPECT_EQ(last->type, 'E') << last->Describe();
            EXPECT_EQ(last->data, "No answer for 2 s");
        },
        30000));
    EXPECT_FALSE(windows.dialog.IsStatusVisible());
    EXPECT_EQ(windows.dialog.LogLines().back(), "Receiving GONE.QVA failed: no answer for 2 s");
    KermitResult r;
    ASSERT_TRUE(Calculator([&] { r = KermitCalculator(*port).PushFile("NEXT.QVA", "next"); }));
    ASSERT_TRUE(r.ok) << Show(r);
    EXPECT_EQ(ReadFileToString(FolderPath("NEXT.QVA")), "next");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(FolderPath("GONE.QVA"))));
}

// A name with terminal control sequences is shown with its control bytes made visible.
TEST_F(KermitEngineTest, ControlBytesOfANameAreShownVisibly)
{
    const ByteString name =
        "A\x1b[2J\x1b]0;T\x07"
        "B.QVA";
    KermitResult r;
    ASSERT_TRUE(Calculator([&] { r = KermitCalculator(*port).PushFile(name, "x"); }));
    ASSERT_TRUE(r.ok) << Show(r);
    EXPECT_EQ(windows.dialog.Captions().back(), "Receiving A\\x1b[2J\\x1b]0;T\\x07B.QVA");
}

} // namespace

namespace {

// A stop (Disconnect, a port change, Ctrl-C in serve) ends an idle engine at once on
// both kinds of line, not after the serial line's 3-second read limit.
TEST_F(KermitEngineTest, AStopEndsAnIdleEngineWithoutWaitingOutTheLine)
{
    for (const Wire wire : {Wire::Serial, Wire::Usb}) {
        for (int round = 0; round < 3; ++round) {
            Connect(wire);
            ServeUntil([] { return false; }, 400 + 300 * round); // the engine sits in a read
            const uint32_t before = Now();
            StopEngine();
            EXPECT_LT(TicksSince(before), 1000u) << (wire == Wire::Serial ? "serial" : "USB") << ", round " << round;
        }
    }
}

} // namespace

namespace {

// A transfer cut off says which one failed and why, and leaves no file.
TEST_F(KermitEngineTest, ACutTransferSaysWhichFailedAndWhy)
{
    ASSERT_TRUE(Calculator([&] {
        KermitCalculator calc(*port);
        Play(calc, {{'S', 0, "p", 'Y', 0}, {'F', 1, "CUT.QVA", 'Y', 1}, {'D', 2, "abc", 'Y', 2}, {'E', 3, "Stopped", 'Y', 3}});
    }));
    EXPECT_TRUE(ServeUntil([&] { return !windows.dialog.IsStatusVisible(); }, 5000));
    EXPECT_EQ(windows.dialog.LogLines().back(), "Receiving CUT.QVA failed: the calculator cancelled (Stopped)");

    Connect(Wire::Serial);
    ASSERT_TRUE(Calculator([&] {
        KermitCalculator calc(*port);
        Play(calc, {{'S', 0, "p", 'Y', 0}, {'F', 1, "LOST.QVA", 'Y', 1}, {'D', 2, "abc", 'Y', 2}});
        port->Hangup();
    }));
    EXPECT_TRUE(ServeUntil([&] { return !windows.dialog.IsStatusVisible(); }, 5000));
    EXPECT_EQ(windows.dialog.LogLines().back(), "Receiving LOST.QVA failed: link lost");
    EXPECT_TRUE(FolderEntries().isEmpty());
}

} // namespace

namespace {

// A frame damaged on the way is answered with N for the packet the calculator is sending,
// at once, so it sends again without waiting out its own time-out; the push goes on.
TEST_F(KermitEngineTest, DamagedFramesAreAnsweredWithNAtOnce)
{
    const auto damaged = [](char type, int seq, std::string_view data) {
        ByteString f = BuildFrame(type, seq, data);
        f[f.size() - 3] ^= 0x01; // the check
        return f;
    };
    for (const Wire wire : {Wire::Serial, Wire::Usb}) {
        Connect(wire);
        const char* const line = wire == Wire::Serial ? "serial" : "USB";
        ASSERT_TRUE(Calculator([&] {
            KermitCalculator calc(*port);
            struct Step {
                ByteString bytes;
                int nakSeq;                 // the N expected in answer
                uint32_t withinMs;          // how soon
                std::vector<Exchange> then; // the calculator's good packets after it
            } steps[] = {
                // Cut short: only the frame timer can tell, and no read outlasts it.
                {ByteString("\x01") + ToChar(20) + " Sabc", 0, 1500, {}},
                {damaged('S', 0, "p"), 0, 500, {{'S', 0, "p", 'Y', 0}}},
                {damaged('F', 1, "N.BIN"), 1, 500, {{'F', 1, "N.BIN", 'Y', 1}}},
                {damaged('D', 2, "abc"), 2, 500, {{'D', 2, "abc", 'Y', 2}}},
                {BuildFrame('D', 3, "def").substr(0, 5), 3, 1500, {{'D', 3, "def", 'Y', 3}}},
            };
            for (std::size_t i = 0; i < std::size(steps); ++i) {
                const uint32_t sent = Now();
                port->Send(steps[i].bytes);
                const auto p = calc.ReadPacket(4000);
                ASSERT_TRUE(p) << line << ": no answer to damaged frame " << i;
                EXPECT_EQ(p->type, 'N') << line << ", " << i << ": " << p->Describe();
                EXPECT_EQ(p->seq, steps[i].nakSeq) << line << ", " << i << ": " << p->Describe();
                EXPECT_LT(TicksSince(sent), steps[i].withinMs) << line << ", " << i << ": the N came late";
                Play(calc, steps[i].then);
            }
            Play(calc, {{'Z', 4, "", 'Y', 4}, {'B', 5, "", 'Y', 5}});
        })) << line;
        EXPECT_EQ(ReadFileToString(FolderPath("N.BIN")), "abcdef") << line;
    }
}

// The file goes to disk as it arrives, under a hidden temporary name; only its Z puts it
// under its own name.
TEST_F(KermitEngineTest, APushedFileIsOnDiskBeforeItsEnd)
{
    ASSERT_TRUE(Calculator([&] {
        KermitCalculator calc(*port);
        Play(calc, {{'S', 0, "p", 'Y', 0}, {'F', 1, "S.BIN", 'Y', 1}, {'D', 2, "first ", 'Y', 2}, {'D', 3, "second", 'Y', 3}});
    }));
    const QStringList entries = FolderEntries();
    ASSERT_EQ(entries.size(), 1) << entries.join(", ").toStdString();
    EXPECT_TRUE(entries.front().startsWith('.')) << entries.front().toStdString();
    EXPECT_EQ(ReadFileToString(FolderPath(entries.front().toStdString())), "first second");
    ASSERT_TRUE(Calculator([&] {
        KermitCalculator calc(*port);
        Play(calc, {{'Z', 4, "", 'Y', 4}, {'B', 5, "", 'Y', 5}});
    }));
    EXPECT_EQ(FolderEntries(), QStringList{"S.BIN"});
    EXPECT_EQ(ReadFileToString(FolderPath("S.BIN")), "first second");
}

// A size announced in an attribute packet that the disk cannot hold is refused before
// any data comes; one that fits is acknowledged.
TEST_F(KermitEngineTest, AnAnnouncedSizeBeyondTheFreeSpaceIsRefusedAtOnce)
{
    const std::string huge = "999999999999999"; // bytes
    struct Case {
        const char* name;
        ByteString attributes;
        char answer;
    } cases[] = {
        {"size in bytes too large", ByteString("1") + ToChar(static_cast<int>(huge.size())) + huge, 'E'},
        {"size in kilobytes too large", ByteString("!") + ToChar(12) + "999999999999", 'E'},
        {"a size that fits, after another attribute", ByteString("#") + ToChar(2) + "AB" + "1" + ToChar(1) + "3", 'Y'},
    };
    for (const auto& c : cases) {
        std::optional<KermitPacket> answer;
        ASSERT_TRUE(Calculator([&] {
            KermitCalculator calc(*port);
            Play(calc, {{'S', 0, "p", 'Y', 0}, {'F', 1, "ATTR.BIN", 'Y', 1}});
            calc.SendPacket('A', 2, c.attributes);
            answer = calc.ReadPacket(4000);
            if (c.answer == 'Y') Play(calc, {{'D', 3, "abc", 'Y', 3}, {'Z', 4, "", 'Y', 4}, {'B', 5, "", 'Y', 5}});
        })) << c.name;
        ASSERT_TRUE(answer) << c.name;
        EXPECT_EQ(answer->type, c.answer) << c.name << ": " << answer->Describe();
        if (c.answer == 'E') {
            EXPECT_EQ(answer->data, "Not enough disk space") << c.name;
            EXPECT_TRUE(FolderEntries().isEmpty()) << c.name << ": " << FolderEntries().join(", ").toStdString();
        } else {
            EXPECT_EQ(ReadFileToString(FolderPath("ATTR.BIN")), "abc");
        }
    }
}

// Through a line that drops bytes of what the calculator sends (its Ys and Ns), a fetch
// still brings the file byte for byte: every lost answer is either a damaged frame or a
// silence, and both make the PC send the packet in flight again under its own number.
// (Flipped bits would also be caught, but one damaged frame in 64 passes the 6-bit check,
// the protocol's own limit, which would make the test a matter of luck; the soak under
// bench/ counts those apart.)
TEST_F(KermitEngineTest, ANoisyFetchBringsTheFileIntact)
{
    const ByteString data = AllByteValues(4000, 21);
    WriteStringToFile(data, FolderPath("NOISY.BIN"));
    for (const uint32_t seed : {3u}) {
        sim::FaultPlan faults;
        faults.dropByte = 0.05;
        faults.seed = seed;
        port->SetFaults(faults);
        KermitResult r;
        sim::KermitOptions options;
        options.tries = 10;
        options.replyTimeoutMs = 2000;
        ASSERT_TRUE(Calculator([&] { r = KermitCalculator(*port, options).FetchFile("NOISY.BIN"); }, 120000));
        ASSERT_TRUE(r.ok) << "seed " << seed << ": " << Show(r);
        EXPECT_EQ(r.data, data) << "seed " << seed;
        port->SetFaults({});
        // The next fetch starts on a quiet engine.
        ServeUntil([&] { return !engine->Busy; }, 5000);
    }
}

} // namespace

namespace {

// A D frame damaged on the way whose check still matched, seen by what no encoding gives
// ("#" before a letter): asked for again with N, never stored.
TEST_F(KermitEngineTest, ADataFieldNoEncodingGivesIsAskedForAgain)
{
    ASSERT_TRUE(Calculator([&] {
        KermitCalculator calc(*port);
        Play(calc, {{'S', 0, "p", 'Y', 0},
                    {'F', 1, "E.BIN", 'Y', 1},
                    {'D', 2, "ab#g", 'N', 2},
                    {'D', 2, "ab#G", 'Y', 2},
                    {'Z', 3, "", 'Y', 3},
                    {'B', 4, "", 'Y', 4}});
    }));
    EXPECT_EQ(ReadFileToString(FolderPath("E.BIN")), "ab\x07");
}

} // namespace

namespace {

// An N while idle: right after a transfer it is a late answer to it and changes nothing;
// later it is a calculator waiting for the S of a fetch whose R never arrived, and it is
// told so instead of being left to repeat its N until its own retry limit.
TEST_F(KermitEngineTest, AnNWhileIdleSaysTheRequestDidNotArrive)
{
    WriteStringToFile("x", FolderPath("ONE.BIN"));
    ASSERT_TRUE(Calculator([&] {
        KermitCalculator calc(*port);
        ASSERT_TRUE(calc.FetchFile("ONE.BIN").ok);
        calc.SendPacket('N', 5, ""); // late, within the quiet time
        const auto late = calc.ReadPacket(1000);
        EXPECT_FALSE(late) << "a late N was answered: " << late->Describe();
    }));
    ServeUntil([] { return false; }, 2100); // the engine has been idle for longer than a late answer takes
    ASSERT_TRUE(Calculator([&] {
        KermitCalculator calc(*port);
        calc.SendPacket('N', 0, "");
        const auto p = calc.ReadPacket(2000);
        ASSERT_TRUE(p) << "the calculator was left waiting";
        EXPECT_EQ(p->type, 'E') << p->Describe();
        EXPECT_EQ(p->data, "Request not received");
    }));
}

} // namespace
