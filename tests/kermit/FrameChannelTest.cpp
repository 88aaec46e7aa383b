// SPDX-License-Identifier: GPL-3.0-or-later
// The frame reader against a scripted line and a simulated clock: what arrives when,
// and what ReceiveFrame makes of it. Real links are exercised by the engine tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <stop_token>

#include "kermit/FrameChannel.h"

using namespace kermit;

namespace {

// A line that delivers scripted bursts; a silence advances the clock instead. Every read
// costs a millisecond; a read on an empty script waits out its whole limit.
class ScriptedLine {
public:
    struct Event {
        ByteString bytes;
        uint32_t silenceMs = 0;
    };
    void Bytes(const ByteString& b) { script_.push_back({b, 0}); }
    void Silence(uint32_t ms) { script_.push_back({{}, ms}); }

    FramePort Port()
    {
        return FramePort{[this](ByteString& buf, int limitMs) { return Read(buf, limitMs); },
                         [this](const ByteString& b) { written += b; }, [this] { return now; }};
    }

    uint32_t now = 0xFFFFF000u; // close to the wrap of the tick counter
    ByteString written;
    int reads = 0;
    int longestRead = 0; // the longest wait a read was allowed
    std::size_t pendingBytes() const
    {
        std::size_t n = 0;
        for (const auto& e : script_) n += e.bytes.size();
        return n;
    }

private:
    int Read(ByteString& buf, int limitMs)
    {
        ++reads;
        longestRead = std::max(longestRead, limitMs);
        std::fill(buf.begin(), buf.end(), '\0');
        ++now;
        if (script_.empty()) {
            now += static_cast<uint32_t>(limitMs);
            return 0;
        }
        Event& e = script_.front();
        if (e.silenceMs) {
            now += e.silenceMs;
            script_.pop_front();
            return 0;
        }
        const size_t n = std::min(buf.size(), e.bytes.size());
        buf.replace(0, n, e.bytes, 0, n);
        e.bytes.erase(0, n);
        if (e.bytes.empty()) script_.pop_front();
        return static_cast<int>(n);
    }
    std::deque<Event> script_;
};

struct FrameChannelTest : ::testing::Test {
    std::stop_source stop;
    ScriptedLine line;
    FrameChannel channel{stop.get_token(), line.Port()};
};

// The calculator ends its frames with CR LF, like the PC: bytes the reader skips.
ByteString Frame(char type, int seq, std::string_view data) { return BuildFrame(type, seq, data); }

TEST_F(FrameChannelTest, ReadsAFrameAmidNoise)
{
    line.Bytes("\r\n\x7f junk");
    line.Bytes(Frame('D', 5, "#Mab"));
    const ReceivedFrame f = channel.ReceiveFrame();
    EXPECT_EQ(f.kind, 'D');
    EXPECT_EQ(f.seq, 5);
    EXPECT_EQ(f.data, "#Mab"); // still encoded
}

TEST_F(FrameChannelTest, FrameSplitIntoBurstsWithShortPauses)
{
    const ByteString f = Frame('F', 1, "CALC.QVA");
    line.Bytes(f.substr(0, 3));
    line.Silence(400);
    line.Bytes(f.substr(3, 4));
    line.Silence(400);
    line.Bytes(f.substr(7));
    const ReceivedFrame r = channel.ReceiveFrame();
    EXPECT_EQ(r.kind, 'F');
    EXPECT_EQ(r.data, "CALC.QVA");
}

TEST_F(FrameChannelTest, SingleStartBytes)
{
    struct Case {
        const char* name;
        ByteString bytes;
        uint8_t kind;
    } cases[] = {
        {"NAK", "\x15", KindXModemRequest},
        {"D", "D", KindXModemRequest},
        {"0x80 with nothing after it", "\x80", KindScreenPush},
        {"noise then D", "xyz\rD", KindXModemRequest},
    };
    for (const auto& c : cases) {
        ScriptedLine l;
        l.Bytes(c.bytes);
        FrameChannel ch(stop.get_token(), l.Port());
        EXPECT_EQ(ch.ReceiveFrame().kind, c.kind) << c.name;
    }
}

TEST_F(FrameChannelTest, DroppedFramesGiveNothingAtOnce)
{
    ByteString badCheck = Frame('D', 1, "abc");
    badCheck[5] ^= 0x01;
    ByteString seq65 = Frame('D', 1, "");
    seq65[2] = ToChar(65);
    seq65[4] = ToChar(KermitCheck(seq65.substr(1, 3)));
    ByteString seqLow = Frame('D', 1, "");
    seqLow[2] = 0x10;
    seqLow[4] = ToChar(KermitCheck(seqLow.substr(1, 3)));
    ByteString len97 = ByteString("\x01") + ToChar(97) + ByteString(97, 'a');
    ByteString len2 = ByteString("\x01") + ToChar(2) + " Y";
    // A byte doubled on the way makes a frame longer than its LEN; read by its LEN, its
    // check may match by chance (here it does), but what follows is not its end of line.
    ByteString doubled = Frame('D', 1, "abc");
    doubled.insert(doubled.size() - 2, 1, 'c');
    ByteString typeCtl = ByteString("\x01#\x20\x02");
    typeCtl += ToChar(KermitCheck(typeCtl.substr(1)));
    struct Case {
        const char* name;
        ByteString bytes;
    } cases[] = {
        {"wrong check", badCheck}, {"sequence 65", seq65},      {"sequence byte below 0x20", seqLow}, {"LEN tochar(97)", len97},
        {"LEN tochar(2)", len2},   {"type byte 0x02", typeCtl}, {"longer than its LEN", doubled},
    };
    for (const auto& c : cases) {
        ScriptedLine l;
        l.Bytes(c.bytes);
        l.Bytes(Frame('Y', 0, "")); // a good frame after it is not looked for
        FrameChannel ch(stop.get_token(), l.Port());
        const uint32_t before = l.now;
        const ReceivedFrame f = ch.ReceiveFrame();
        EXPECT_EQ(f.kind, KindNone) << c.name;
        EXPECT_TRUE(f.damaged) << c.name;
        EXPECT_LT(l.now - before, 200u) << c.name << ": returned only after waiting";
    }
}

TEST_F(FrameChannelTest, LargestFrameAndSequence64Accepted)
{
    const ByteString data(93, 'x');
    ByteString f = ByteString("\x01") + ToChar(96) + ToChar(64) + "D" + data;
    f += ToChar(KermitCheck(f.substr(1)));
    f += "\r\n";
    ScriptedLine l;
    l.Bytes(f);
    FrameChannel ch(stop.get_token(), l.Port());
    const ReceivedFrame r = ch.ReceiveFrame();
    EXPECT_EQ(r.kind, 'D');
    EXPECT_EQ(r.seq, 64);
    EXPECT_EQ(r.data.size(), 93u);
}

TEST_F(FrameChannelTest, NoiseDoesNotRestartTheTimer)
{
    // Noise keeps trickling in for two seconds: the reader gives up after one.
    for (int i = 0; i < 20; ++i) {
        line.Bytes("x");
        line.Silence(100);
    }
    line.Bytes(Frame('Y', 0, ""));
    const uint32_t before = line.now;
    EXPECT_EQ(channel.ReceiveFrame().kind, KindNone);
    const uint32_t took = line.now - before;
    EXPECT_GE(took, 1000u);
    EXPECT_LT(took, 1200u);
}

TEST_F(FrameChannelTest, TheMarkRestartsTheTimer)
{
    line.Silence(900);
    const ByteString f = Frame('Y', 0, "");
    line.Bytes(f.substr(0, 2));
    line.Silence(900); // 1.8 s after the call, 0.9 s after the MARK
    line.Bytes(f.substr(2));
    EXPECT_EQ(channel.ReceiveFrame().kind, 'Y');
}

TEST_F(FrameChannelTest, FrameCutShortByTheTimer)
{
    const ByteString f = Frame('D', 1, "abcdef");
    line.Bytes(f.substr(0, 6));
    line.Silence(1500);
    line.Bytes(f.substr(6));
    const ReceivedFrame r = channel.ReceiveFrame();
    EXPECT_EQ(r.kind, KindNone);
    EXPECT_TRUE(r.damaged);
}

// No read waits past the frame timer: a frame that stops after its MARK is given up a
// second after the MARK, however long the line's reads would wait.
TEST_F(FrameChannelTest, NoReadOutlastsTheFrameTimer)
{
    line.Silence(700);
    line.Bytes(Frame('D', 1, "abcdef").substr(0, 4));
    const uint32_t before = line.now;
    const ReceivedFrame r = channel.ReceiveFrame();
    EXPECT_TRUE(r.damaged);
    EXPECT_LE(line.now - before, 700u + FrameChannel::FrameTimeMs + 10u);
    EXPECT_LE(line.longestRead, static_cast<int>(FrameChannel::FrameTimeMs) + 1);
}

TEST_F(FrameChannelTest, SilentLineEndsAfterAboutASecond)
{
    const uint32_t before = line.now;
    const ReceivedFrame r = channel.ReceiveFrame();
    EXPECT_EQ(r.kind, KindNone);
    EXPECT_FALSE(r.damaged) << "silence is no damaged frame";
    EXPECT_LE(line.now - before, 1100u);
}

// A frame that lost bytes is followed by the calculator's resend. When the MARK of the
// resend falls inside the broken frame, it starts the frame that is read, and no damaged
// frame is reported; when the broken frame's end of line comes before its length is
// complete, it is reported damaged at once and the resend is the next frame read.
TEST_F(FrameChannelTest, AMarkInsideAFrameStartsANewOne)
{
    const ByteString good = Frame('D', 7, "0123456789abcdef");
    struct Case {
        const char* name;
        ByteString broken;
        bool damagedFirst;
    } cases[] = {
        {"three bytes lost in the middle", good.substr(0, 6) + good.substr(9), true},
        {"only MARK and LEN arrived", good.substr(0, 2), false},
        {"the check and end of line lost", good.substr(0, good.size() - 3), false},
        {"a MARK where LEN should be", good.substr(0, 1), false},
        {"two bytes lost", good.substr(0, 6) + good.substr(8), true},
    };
    for (const auto& c : cases) {
        ScriptedLine l;
        l.Bytes(c.broken);
        l.Bytes(good);
        FrameChannel ch(stop.get_token(), l.Port());
        ReceivedFrame r = ch.ReceiveFrame();
        if (c.damagedFirst) {
            EXPECT_EQ(r.kind, KindNone) << c.name;
            EXPECT_TRUE(r.damaged) << c.name;
            r = ch.ReceiveFrame();
        }
        EXPECT_EQ(r.kind, 'D') << c.name;
        EXPECT_EQ(r.seq, 7) << c.name;
        EXPECT_EQ(r.data, "0123456789abcdef") << c.name;
    }
}

// What is left of a broken frame may hold "D" (the type of every data packet) or NAK:
// those are not the calculator asking for an XModem transfer. After its end of line, or
// once the line went quiet, a start byte counts again.
TEST_F(FrameChannelTest, BytesOfABrokenFrameAreNoStartBytes)
{
    ByteString tooLong = ByteString("\x01") + ToChar(97) +
                         " D\x15\x80"
                         "abcD";
    line.Bytes(tooLong);
    line.Bytes("D\x15\r\n");
    line.Bytes("D");
    ReceivedFrame r = channel.ReceiveFrame();
    EXPECT_TRUE(r.damaged);
    r = channel.ReceiveFrame();
    EXPECT_EQ(r.kind, KindXModemRequest) << "the D after the end of line";
    EXPECT_EQ(line.pendingBytes(), 0u);

    ScriptedLine quiet;
    quiet.Bytes(ByteString("\x01") + ToChar(97) + "xD");
    quiet.Silence(300);
    quiet.Bytes("D");
    FrameChannel ch(stop.get_token(), quiet.Port());
    EXPECT_TRUE(ch.ReceiveFrame().damaged);
    const ReceivedFrame after = ch.ReceiveFrame();
    EXPECT_EQ(after.kind, KindXModemRequest) << "the D after a quiet line";
    EXPECT_EQ(quiet.pendingBytes(), 0u) << "the D of the remnant was taken for a request";
}

TEST_F(FrameChannelTest, StopRequestEndsTheRead)
{
    stop.request_stop();
    line.Bytes(Frame('Y', 0, ""));
    EXPECT_EQ(channel.ReceiveFrame().kind, KindNone);
    EXPECT_EQ(line.reads, 0);
}

TEST_F(FrameChannelTest, SendKeepsTheLastFrameForResending)
{
    channel.SendFrame('Y', 3, "");
    channel.SendFrame('D', 4, "ab");
    EXPECT_EQ(channel.LastFrame(), BuildFrame('D', 4, "ab"));
    channel.ResendLastFrame();
    EXPECT_EQ(line.written, BuildFrame('Y', 3, "") + BuildFrame('D', 4, "ab") + BuildFrame('D', 4, "ab"));
}

} // namespace
