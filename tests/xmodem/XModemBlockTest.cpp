// SPDX-License-Identifier: GPL-3.0-or-later
#include <functional>

#include <gtest/gtest.h>

#include "tests/support/Bytes.h"
#include "xmodem/XModemBlock.h"

using namespace xmodem;

namespace {

TEST(XModemBlock, LayoutOfBothSizesAndModes)
{
    struct Case {
        uint8_t header;
        CheckMode mode;
        std::size_t length;
    } cases[] = {
        {SOH, CheckMode::Checksum, 132},
        {SOH, CheckMode::Crc, 133},
        {STX, CheckMode::Checksum, 1028},
        {STX, CheckMode::Crc, 1029},
    };
    for (const auto& c : cases) {
        const ByteString data = "Calcapp";
        const ByteString block = BuildBlock(c.header, 3, data, c.mode);
        SCOPED_TRACE(DescribeBlock(block, c.mode));
        ASSERT_EQ(block.size(), c.length);
        EXPECT_EQ(BlockLength(c.header, c.mode), c.length);
        EXPECT_EQ(ByteAt(block, 0), c.header);
        EXPECT_EQ(ByteAt(block, 1), 3);
        EXPECT_EQ(ByteAt(block, 2), 252);
        EXPECT_EQ(block.substr(3, data.size()), data);
        // The short data is padded to the full block; the padding counts in the check.
        const std::size_t size = DataSizeFor(c.header);
        EXPECT_EQ(block.substr(3 + data.size(), size - data.size()), ByteString(size - data.size(), PadByte));
        EXPECT_EQ(block.substr(3 + size), BlockCheck(block.substr(3, size), c.mode));
        const auto r = VerifyBlock(block, 3, c.mode);
        EXPECT_TRUE(r.Accepted()) << BlockVerdictName(r.verdict);
        EXPECT_EQ(r.data.size(), size);
    }
}

TEST(XModemBlock, ChecksOfKnownData)
{
    // 128 bytes 0xFF sum to 0x7F80: the checksum is 0x80.
    const ByteString ff(128, '\xFF');
    EXPECT_EQ(BlockCheck(ff, CheckMode::Checksum), Bytes({0x80}));
    EXPECT_EQ(BuildBlock(SOH, 1, ff, CheckMode::Checksum).back(), '\x80');
    // The CRC goes on the wire high byte first.
    EXPECT_EQ(BlockCheck("123456789", CheckMode::Crc), Bytes({0x21, 0x89}));
    EXPECT_EQ(BlockCheck("", CheckMode::Crc), Bytes({0x00, 0x00}));
}

TEST(XModemBlock, NumberWrapsAfter255)
{
    const ByteString b256 = BuildBlock(SOH, 256, "x", CheckMode::Checksum);
    EXPECT_EQ(ByteAt(b256, 1), 0);
    EXPECT_EQ(ByteAt(b256, 2), 255);
    EXPECT_TRUE(VerifyBlock(b256, 256, CheckMode::Checksum).Accepted());
    EXPECT_TRUE(VerifyBlock(b256, 0, CheckMode::Checksum).Accepted());
    EXPECT_EQ(ByteAt(BuildBlock(SOH, 257, "x", CheckMode::Checksum), 1), 1);
}

TEST(XModemBlock, RefusesEveryDamagedField)
{
    const ByteString good = BuildBlock(STX, 7, ByteString(1024, 'a'), CheckMode::Crc);
    struct Case {
        const char* name;
        std::function<void(ByteString&)> damage;
        unsigned expected;
        CheckMode mode;
        BlockVerdict verdict;
    } cases[] = {
        {"intact", [](ByteString&) {}, 7, CheckMode::Crc, BlockVerdict::Ok},
        {"header", [](ByteString& b) { b[0] = 0x03; }, 7, CheckMode::Crc, BlockVerdict::BadHeader},
        {"SOH header on a 1024 block", [](ByteString& b) { b[0] = SOH; }, 7, CheckMode::Crc, BlockVerdict::WrongLength},
        {"cut short", [](ByteString& b) { b.pop_back(); }, 7, CheckMode::Crc, BlockVerdict::WrongLength},
        {"read as checksum", [](ByteString&) {}, 7, CheckMode::Checksum, BlockVerdict::WrongLength},
        {"repeat of the accepted block", [](ByteString&) {}, 8, CheckMode::Crc, BlockVerdict::BadNumber},
        // The complement is checked on its own, even when the data check matches.
        {"complement", [](ByteString& b) { b[2] = 0; }, 7, CheckMode::Crc, BlockVerdict::BadComplement},
        {"data byte", [](ByteString& b) { b[500] ^= 0x01; }, 7, CheckMode::Crc, BlockVerdict::BadCheck},
        {"crc low byte", [](ByteString& b) { b.back() ^= 0x40; }, 7, CheckMode::Crc, BlockVerdict::BadCheck},
    };
    for (const auto& c : cases) {
        ByteString b = good;
        c.damage(b);
        const auto r = VerifyBlock(b, c.expected, c.mode);
        EXPECT_EQ(r.verdict, c.verdict) << c.name << ": " << BlockVerdictName(r.verdict) << " for " << DescribeBlock(b, c.mode);
        EXPECT_EQ(r.Accepted(), !r.data.empty()) << c.name;
    }
}

TEST(XModemBlock, BuildRefusesOversizedDataAndBadHeader)
{
    EXPECT_THROW(BuildBlock(SOH, 1, ByteString(129, 'a'), CheckMode::Checksum), std::invalid_argument);
    EXPECT_THROW(BuildBlock(EOT, 1, "a", CheckMode::Checksum), std::invalid_argument);
}

TEST(XModemBlock, StartBytesChooseTheMode)
{
    EXPECT_EQ(CheckModeForStart(NAK), CheckMode::Checksum);
    EXPECT_EQ(CheckModeForStart(CrcStart), CheckMode::Crc);
}

TEST(XModemBlock, DescriptionNamesTheFields)
{
    const std::string text = DescribeBlock(BuildBlock(SOH, 3, "AB", CheckMode::Checksum), CheckMode::Checksum);
    EXPECT_NE(text.find("SOH #3 (~252) 128 data [41 42"), std::string::npos) << text;
    EXPECT_NE(DescribeBlock("\x01\x02", CheckMode::Crc).find("not a CRC block (2 bytes)"), std::string::npos);
}

} // namespace
