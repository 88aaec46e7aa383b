// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "kermit/KermitFrame.h"
#include "tests/support/Bytes.h"

using namespace kermit;

namespace {

TEST(KermitFrame, WireBytesOfKnownFrames)
{
    struct Case {
        const char* name;
        char type;
        int seq;
        ByteString data;
        ByteString wire;
    } cases[] = {
        {"empty D, sequence 0", 'D', 0, "", Bytes({0x01, 0x23, 0x20, 0x44, 0x29, 0x0D, 0x0A})},
        {"empty Y, sequence 0", 'Y', 0, "", Bytes({0x01, 0x23, 0x20, 0x59, 0x3E, 0x0D, 0x0A})},
        {"sequence taken mod 64", 'D', 64, "", Bytes({0x01, 0x23, 0x20, 0x44, 0x29, 0x0D, 0x0A})},
        // S answered with the fixed parameters: LEN tochar(11), check over LEN SEQ TYPE DATA.
        {"Y with send-init", 'Y', 0, ByteString(SendInit),
         ByteString("\x01+ Y~* @-#Y1", 12) + ToChar(KermitCheck("+ Y~* @-#Y1")) + "\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(HexBytes(BuildFrame(c.type, c.seq, c.data)), HexBytes(c.wire)) << c.name;
}

TEST(KermitFrame, CheckFoldsTheHighBits)
{
    EXPECT_EQ(KermitCheck(Bytes({0x23, 0x20, 0x59})), 30); // 156 + 2, low six bits
    EXPECT_EQ(KermitCheck(""), 0);
    // Sum 0xC0: (0xC0 + 3) & 0x3F.
    EXPECT_EQ(KermitCheck(Bytes({0x60, 0x60})), 3);
}

TEST(KermitFrame, EncodesControlAndPrefixBytes)
{
    size_t pos = 0;
    EXPECT_EQ(HexBytes(EncodeChunk(Bytes({0x00, 0x23, 0x41, 0x7F, 0x8D, 0xFF}), pos)),
              HexBytes(Bytes({0x23, 0x40, 0x23, 0x23, 0x41, 0x23, 0x3F, 0x23, 0xCD, 0x23, 0xBF})));
    EXPECT_EQ(pos, 6u);
    pos = 0;
    EXPECT_EQ(EncodeChunk("\r\x8D", pos), Bytes({0x23, 0x4D, 0x23, 0xCD}));
}

TEST(KermitFrame, ChunkStopsAtTheFieldLimit)
{
    struct Case {
        const char* name;
        ByteString source;
        size_t taken;
        size_t field;
    } cases[] = {
        {"100 letters", ByteString(100, 'a'), 77, 77},
        {"100 control bytes", ByteString(100, '\x01'), 38, 76},
        {"76 letters then a control byte", ByteString(76, 'a') + '\x01', 76, 76},
        {"75 letters then a control byte", ByteString(75, 'a') + '\x01' + "zz", 76, 77},
        {"short", "abc", 3, 3},
    };
    for (const auto& c : cases) {
        size_t pos = 0;
        const ByteString field = EncodeChunk(c.source, pos);
        EXPECT_EQ(pos, c.taken) << c.name;
        EXPECT_EQ(field.size(), c.field) << c.name;
    }
    size_t end = 3;
    EXPECT_EQ(EncodeChunk("abc", end), "");
    EXPECT_EQ(end, 3u);
}

TEST(KermitFrame, EveryByteValueSurvivesEncodeAndDecode)
{
    ByteString all;
    for (int round = 0; round < 3; ++round)
        for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    ByteString decoded;
    size_t pos = 0;
    int frames = 0;
    while (pos < all.size()) {
        const ByteString field = EncodeChunk(all, pos);
        ASSERT_LE(field.size(), MaxSendData);
        for (const char c : field) ASSERT_FALSE((c & 0x7F) < 0x20 || (c & 0x7F) == 0x7F) << "control byte in field";
        decoded += DecodeData(field);
        ++frames;
    }
    EXPECT_EQ(decoded, all);
    EXPECT_GT(frames, 10);
}

TEST(KermitFrame, DecodeQuirks)
{
    EXPECT_EQ(DecodeData("#"), "@"); // a lone prefix at the end yields 0x40
    EXPECT_EQ(DecodeData("ab#"), "ab@");
    EXPECT_EQ(DecodeData("##"), "#");
    EXPECT_EQ(DecodeData("#\xA3"), "\xA3"); // the prefix's 8-bit form, as C-Kermit sends it
    EXPECT_EQ(DecodeData("#A"), ByteString(1, '\x01'));
    EXPECT_EQ(DecodeData("#a"), ByteString(1, '\x21')); // no check that the result is a control byte
    EXPECT_EQ(DecodeData(""), "");
}

// What the "#" encoding can give: every field EncodeChunk makes, and fields a sender
// that also prefixes the prefix's 8-bit form makes; not a raw control byte, a "#" before
// a byte that is no prefixed control byte, or a "#" at the end.
TEST(KermitFrame, EncodedDataIsTellableFromDamage)
{
    const ByteString all = [] {
        ByteString b;
        for (int i = 0; i < 256; ++i) b += static_cast<char>(i);
        return b;
    }();
    for (std::size_t pos = 0; pos < all.size();) {
        const ByteString field = EncodeChunk(all, pos);
        EXPECT_TRUE(IsEncodedData(field)) << HexBytes(field);
    }
    struct Case {
        const char* name;
        ByteString field;
        bool encoded;
    } cases[] = {
        {"empty", "", true},
        {"8-bit prefix form", "#\xA3", true},
        {"prefixed DEL and 0xFF", "#?#\xBF", true},
        {"raw CR", "ab\rc", false},
        {"raw 0x85", "a\x85", false},
        {"raw DEL", "\x7f", false},
        {"a # before a letter", "#g", false},
        {"a # before a digit", "a#1", false},
        {"a # at the end", "ab#", false},
        {"a # before the prefixed #", "#c", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsEncodedData(c.field), c.encoded) << c.name;
}

TEST(KermitFrame, TraceLinesAndDescriptions)
{
    EXPECT_EQ(FrameTraceLine("->", 'D', 3), "-> Frame Type=0x44 D  seq= 3");
    EXPECT_EQ(DescribeFrame(BuildFrame('D', 3, "AB")), "D seq 3 [41 42] check 2F");
    ByteString bad = BuildFrame('D', 3, "AB");
    bad[4] = 'C';
    EXPECT_NE(DescribeFrame(bad).find("(wrong)"), std::string::npos);
}

} // namespace
