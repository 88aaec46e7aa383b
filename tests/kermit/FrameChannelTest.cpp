// The frame reader against a scripted line and a simulated clock: what arrives when,
// and what ReceiveFrame makes of it. Real links are exercised by the engine tests.
#include <gtest/gtest.h>

#include <deque>

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

private:
    int Read(ByteString& buf, int limitMs)
    {
        ++reads;
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
    std::atomic<bool> stop{false};
    ScriptedLine line;
    FrameChannel channel{stop, line.Port()};
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
        FrameChannel ch(stop, l.Port());
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
    ByteString typeCtl = ByteString("\x01#\x20\x01") ;
    typeCtl += ToChar(KermitCheck(typeCtl.substr(1)));
    struct Case {
        const char* name;
        ByteString bytes;
    } cases[] = {
        {"wrong check", badCheck}, {"sequence 65", seq65}, {"sequence byte below 0x20", seqLow},
        {"LEN tochar(97)", len97},  {"LEN tochar(2)", len2}, {"type byte 0x01", typeCtl},
    };
    for (const auto& c : cases) {
        ScriptedLine l;
        l.Bytes(c.bytes);
        l.Bytes(Frame('Y', 0, "")); // a good frame after it is not looked for
        FrameChannel ch(stop, l.Port());
        const uint32_t before = l.now;
        EXPECT_EQ(ch.ReceiveFrame().kind, KindNone) << c.name;
        EXPECT_LT(l.now - before, 200u) << c.name << ": returned only after waiting";
    }
}

TEST_F(FrameChannelTest, LargestFrameAndSequence64Accepted)
{
    const ByteString data(93, 'x');
    ByteString f = ByteString("\x01") + ToChar(96) + ToChar(64) + "D" + data;
    f += ToChar(KermitCheck(f.substr(1)));
    ScriptedLine l;
    l.Bytes(f);
    FrameChannel ch(stop, l.Port());
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
    EXPECT_EQ(channel.ReceiveFrame().kind, KindNone);
}

TEST_F(FrameChannelTest, SilentLineEndsAfterAboutASecond)
{
    const uint32_t before = line.now;
    EXPECT_EQ(channel.ReceiveFrame().kind, KindNone);
    EXPECT_LE(line.now - before, 1100u);
}

TEST_F(FrameChannelTest, StopRequestEndsTheRead)
{
    stop = true;
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
