// SPDX-License-Identifier: GPL-3.0-or-later
// The Kermit dialogue driven directly, with no thread: the calculator's frames go onto a
// line in memory, the frame channel reads them, the state machine answers, and the line's
// clock is the only time there is. So a whole transfer, its events and its time-outs are
// checked step by step and to the millisecond.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "kermit/FrameChannel.h"
#include "kermit/KermitFrame.h"
#include "kermit/KermitProtocol.h"
#include "link/Link.h"
#include "link/MemoryLine.h"
#include "util/TransferEvent.h"
#include "util/Utils.h"

using namespace kermit;

namespace {

struct Packet {
    char type = 0;
    int seq = -1;
    ByteString data;
};

// A frame the PC wrote: SOH LEN SEQ TYPE DATA CHECK CR LF.
std::optional<Packet> Parse(const ByteString& frame)
{
    if (frame.size() < 7 || static_cast<uint8_t>(frame[0]) != Mark) return std::nullopt;
    const int len = UnChar(static_cast<uint8_t>(frame[1]));
    if (len < 3 || static_cast<std::size_t>(len) + 4 != frame.size()) return std::nullopt;
    if (ToChar(KermitCheck(std::string_view(frame).substr(1, static_cast<std::size_t>(len)))) != frame[frame.size() - 3])
        return std::nullopt;
    return Packet{frame[3], UnChar(static_cast<uint8_t>(frame[2])), frame.substr(4, static_cast<std::size_t>(len) - 3)};
}

class KermitProtocolTest : public ::testing::Test, public KermitActions {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        line->SetNow(5000);
        line->OnWritten = [this](const ByteString& bytes) { written.push_back(bytes); };
        link.OpenMemory(line, LinkKind::Serial);
        protocol = std::make_unique<KermitProtocol>(
            *this, [this](const TransferEvent& e) { events.push_back(e); }, folder.path().toStdString(), link.Now());
    }

    // KermitActions, on the line in memory.
    void SendFrame(char type, int seq, std::string_view data) override { channel.SendFrame(type, seq, data); }
    void ResendLastFrame() override { channel.ResendLastFrame(); }
    void Pause(int ms) override { link.Pause(ms); }
    void ClearInput() override { link.ClearInput(); }
    void SendByXModem(uint8_t, const std::string&) override { ++xmodemRequests; }

    // afterMs of line time pass, then the calculator's bytes arrive (none: it stays
    // silent) and the dialogue handles what the channel makes of them. Returns the
    // packets the PC wrote in answer.
    std::vector<Packet> Step(const ByteString& bytes, uint32_t afterMs = 20)
    {
        line->Advance(afterMs);
        line->Queue(bytes);
        written.clear();
        protocol->Handle(channel.ReceiveFrame(), link.Now());
        std::vector<Packet> answers;
        for (const ByteString& w : written) {
            const auto p = Parse(w);
            EXPECT_TRUE(p) << "not a frame: " << HexBytes(w);
            if (p) answers.push_back(*p);
        }
        return answers;
    }
    std::vector<Packet> Send(char type, int seq, std::string_view data = {}, uint32_t afterMs = 20)
    {
        return Step(BuildFrame(type, seq, data), afterMs);
    }
    // The packet must be answered by exactly one packet of type answer and number seq.
    void Expect(char type, int seq, std::string_view data, char answer)
    {
        const auto a = Send(type, seq, data);
        ASSERT_EQ(a.size(), 1u) << type << " " << seq << " got " << a.size() << " answers";
        EXPECT_EQ(a[0].type, answer) << "answer to " << type << " " << seq << ": " << a[0].data;
        EXPECT_EQ(a[0].seq, seq) << "answer to " << type << " " << seq;
    }
    std::string FolderPath(const std::string& name) const { return folder.filePath(QString::fromStdString(name)).toStdString(); }
    QStringList FolderEntries() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot); }

    QTemporaryDir folder;
    std::shared_ptr<MemoryLine> line = std::make_shared<MemoryLine>();
    Link link;
    std::stop_source stop;
    FrameChannel channel{stop.get_token(), FramePort::Over(link)};
    std::vector<ByteString> written;
    std::vector<TransferEvent> events;
    int xmodemRequests = 0;
    std::unique_ptr<KermitProtocol> protocol;
};

// A whole push, S to B, handled on the line in memory: the file arrives whole, every
// packet gets its Y, and the events tell the transfer with the line's own time.
TEST_F(KermitProtocolTest, AWholePushRunsWithoutAThread)
{
    const ByteString data = "first line\r\n#control \x01\x1f bytes\x7f and ## prefixes";
    std::size_t pos = 0;
    std::vector<ByteString> fields;
    while (pos < data.size()) fields.push_back(EncodeChunk(data, pos, 20));
    ASSERT_GT(fields.size(), 2u);

    Expect('S', 0, "p* @-#N1", 'Y');
    Expect('F', 1, "PUSH.BIN", 'Y');
    const uint32_t started = link.Now();
    int seq = 2;
    for (const ByteString& field : fields) Expect('D', seq++, field, 'Y');
    Expect('Z', seq++, "", 'Y');
    const uint32_t ended = link.Now();
    Expect('B', seq, "", 'Y');

    EXPECT_EQ(ReadFileToString(FolderPath("PUSH.BIN")), data);
    EXPECT_EQ(FolderEntries(), QStringList{"PUSH.BIN"});
    EXPECT_TRUE(protocol->Idle());

    ASSERT_EQ(events.size(), fields.size() + 3); // Started, the Progress at 0 and after each D, Ended
    EXPECT_EQ(events.front().stage, TransferStage::Started);
    EXPECT_EQ(events.front().kind, TransferKind::KermitReceive);
    EXPECT_EQ(events.front().file, "PUSH.BIN");
    EXPECT_EQ(events.front().total, 0);
    int64_t done = -1;
    for (std::size_t i = 1; i + 1 < events.size(); ++i) {
        EXPECT_EQ(events[i].stage, TransferStage::Progress) << i;
        EXPECT_GT(events[i].done, done) << i;
        done = events[i].done;
    }
    EXPECT_EQ(done, static_cast<int64_t>(data.size()));
    const TransferEvent& end = events.back();
    EXPECT_EQ(end.stage, TransferStage::Ended);
    EXPECT_TRUE(end.Succeeded());
    // Started when the F was handled, ended when the Z was: on the line's clock (the
    // 10 ms pause before an answer belongs to the thread, not to the dialogue).
    EXPECT_EQ(end.elapsedMs, ended - started);
}

// The user's cancel arrives as a call: the next D is taken and answered, then the
// calculator hears why in an E, nothing of the file stays, and the transfer ends as
// UserCancelled.
TEST_F(KermitProtocolTest, ACancelEndsAPushWithAnE)
{
    WriteStringToFile("older", FolderPath("C.BIN"));
    Expect('S', 0, "p", 'Y');
    Expect('F', 1, "C.BIN", 'Y');
    Expect('D', 2, "abc", 'Y');
    protocol->CancelTransfer();
    const auto answers = Send('D', 3, "def");
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0].type, 'Y');
    EXPECT_EQ(answers[1].type, 'E');
    EXPECT_EQ(answers[1].seq, 3);
    EXPECT_EQ(answers[1].data, "Canceled by PC");
    EXPECT_TRUE(protocol->Idle());
    EXPECT_EQ(ReadFileToString(FolderPath("C.BIN")), "older");
    EXPECT_EQ(FolderEntries(), QStringList{"C.BIN"});
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().stage, TransferStage::Ended);
    EXPECT_EQ(events.back().outcome, TransferOutcome::Cancelled);
    EXPECT_EQ(events.back().reason, TransferReason::UserCancelled);
    // What the calculator still sends of the file is refused: it belongs to no file.
    const auto late = Send('Z', 4);
    ASSERT_EQ(late.size(), 1u);
    EXPECT_EQ(late[0].type, 'E');
    EXPECT_EQ(late[0].data, "No file is being received");
}

// A cancel during a fetch: at the calculator's next Y it hears E instead of the next
// packet, and the PC sends nothing more, not even after a silence.
TEST_F(KermitProtocolTest, ACancelEndsAFetchAtTheNextAnswer)
{
    WriteStringToFile(ByteString(500, 'x'), FolderPath("F.BIN"));
    const auto s = Send('R', 0, "F.BIN");
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].type, 'S');
    const auto f = Send('Y', 0, "p* @-#N1");
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].type, 'F');
    const auto d = Send('Y', 1);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].type, 'D');
    protocol->CancelTransfer();
    const auto e = Send('Y', 2);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].type, 'E');
    EXPECT_EQ(e[0].seq, 3);
    EXPECT_EQ(e[0].data, "Canceled by PC");
    EXPECT_TRUE(protocol->Idle());
    EXPECT_TRUE(Step({}).empty()) << "the PC went on after its E";
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().kind, TransferKind::KermitSend);
    EXPECT_EQ(events.front().total, 500);
    EXPECT_EQ(events.back().reason, TransferReason::UserCancelled);
}

// The stale limit runs on the clock the dialogue is fed: a receive whose sender went
// quiet repeats its last Y once a second of line time, and after 30 s of it gives up
// with an E and an event that says for how long.
TEST_F(KermitProtocolTest, AQuietSenderIsGivenUpOnTheLinesClock)
{
    Expect('S', 0, "p", 'Y');
    Expect('F', 1, "Q.BIN", 'Y');
    Expect('D', 2, "abc", 'Y');
    const uint32_t lastHeard = link.Now();
    int repeats = 0;
    std::vector<Packet> answers;
    while (answers.empty() || answers.back().type != 'E') {
        answers = Step({}, 0);
        ASSERT_EQ(answers.size(), 1u) << "after " << link.Now() - lastHeard << " ms";
        if (answers[0].type == 'Y') ++repeats;
        ASSERT_LT(repeats, 40) << "the PC repeats its Y for ever";
    }
    EXPECT_GE(link.Now() - lastHeard, KermitProtocol::StaleTransferMs);
    EXPECT_LT(link.Now() - lastHeard, KermitProtocol::StaleTransferMs + 1100);
    EXPECT_GE(repeats, 25);
    EXPECT_EQ(answers.back().data, "No answer for 30 s");
    EXPECT_EQ(events.back().reason, TransferReason::NoAnswer);
    EXPECT_EQ(events.back().detail, "30 s");
    EXPECT_TRUE(FolderEntries().isEmpty());
}

// Whoever hears that a receive failed may look at the folder at once (the window
// refreshes its file list, a test counts the files): what came of the file is gone by
// then, however the transfer ended.
TEST_F(KermitProtocolTest, APartFileIsGoneWhenTheFailedEndIsHeard)
{
    const std::vector<std::pair<const char*, std::function<void()>>> endings = {
        {"the calculator's E", [this] { Send('E', 3, "Stopped"); }},
        {"the link lost", [this] { protocol->LinkFailed("link lost", link.Now()); }},
        {"the user's cancel",
         [this] {
             protocol->CancelTransfer();
             Send('D', 3, "def");
         }},
        {"a Z that discards", [this] { Send('Z', 3, "D"); }},
    };
    for (const auto& [how, end] : endings) {
        SCOPED_TRACE(how);
        QStringList atEnd{"(no end heard)"};
        protocol = std::make_unique<KermitProtocol>(
            *this,
            [&](const TransferEvent& e) {
                if (e.stage == TransferStage::Ended) atEnd = FolderEntries();
            },
            folder.path().toStdString(), link.Now());
        Expect('S', 0, "p", 'Y');
        Expect('F', 1, "PART.BIN", 'Y');
        Expect('D', 2, "abc", 'Y');
        ASSERT_FALSE(FolderEntries().isEmpty()) << "the file is written as it arrives";
        end();
        EXPECT_TRUE(atEnd.isEmpty()) << atEnd.join(", ").toStdString();
        EXPECT_TRUE(FolderEntries().isEmpty()) << FolderEntries().join(", ").toStdString();
    }
}

// Refused requests never start a transfer, yet each is told as an ended one.
TEST_F(KermitProtocolTest, RefusedRequestsEndWithTheirReason)
{
    struct Case {
        char type;
        ByteString name;
        const char* error;
        TransferKind kind;
        TransferReason reason;
    } cases[] = {
        {'F', "../UP.BIN", "Invalid file name", TransferKind::KermitReceive, TransferReason::NameRefused},
        {'R', "a/b", "Invalid file name", TransferKind::KermitSend, TransferReason::NameRefused},
        {'R', "NONE.BIN", "File does not exist", TransferKind::KermitSend, TransferReason::FileNotFound},
    };
    for (const Case& c : cases) {
        events.clear();
        const auto a = Send(c.type, 1, c.name);
        ASSERT_EQ(a.size(), 1u) << c.name;
        EXPECT_EQ(a[0].type, 'E') << c.name;
        EXPECT_EQ(a[0].data, c.error) << c.name;
        ASSERT_EQ(events.size(), 1u) << c.name;
        EXPECT_EQ(events[0].stage, TransferStage::Ended) << c.name;
        EXPECT_EQ(events[0].kind, c.kind) << c.name;
        EXPECT_EQ(events[0].reason, c.reason) << c.name;
        EXPECT_EQ(events[0].file, c.name) << c.name;
    }
}

// The single start bytes reach the owner: an XModem request only while idle, a screen
// push ends the dialogue.
TEST_F(KermitProtocolTest, StartBytesGoToTheOwner)
{
    EXPECT_TRUE(Step("\x15").empty());
    EXPECT_EQ(xmodemRequests, 1);
    Expect('S', 0, "p", 'Y');
    Expect('F', 1, "X.BIN", 'Y');
    Step("\x15");
    EXPECT_EQ(xmodemRequests, 1) << "an XModem request in the middle of a file";
    EXPECT_FALSE(protocol->Finished());
    Step("\x80");
    EXPECT_TRUE(protocol->Finished());
    protocol->Stop(true, link.Now());
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().reason, TransferReason::Stopped);
    ASSERT_FALSE(written.empty());
    const auto last = Parse(written.back());
    ASSERT_TRUE(last);
    EXPECT_EQ(last->type, 'E');
    EXPECT_EQ(last->data, "User cancel");
}

} // namespace
