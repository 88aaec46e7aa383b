#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "util/GeneralError.h"
#include "util/Utils.h"

namespace {

struct CrcCase {
    const char* name;
    std::string data;
    uint16_t crc;
};

TEST(Crc16, KnownCheckValues)
{
    const CrcCase cases[] = {
        {"empty", "", 0x0000},
        {"digits", "123456789", 0x2189},
        {"A", "A", 0x538D},
        {"abc", "abc", 0x58E9},
    };
    for (const auto& c : cases) EXPECT_EQ(Crc16(c.data), c.crc) << c.name;
}

TEST(Crc16, MatchesBitwiseReference)
{
    // The nibble table must agree with the plain bit-by-bit reflected CRC for every byte.
    for (int b = 0; b < 256; ++b) {
        uint16_t ref = 0;
        ref ^= static_cast<uint16_t>(b);
        for (int i = 0; i < 8; ++i) ref = (ref & 1) ? static_cast<uint16_t>((ref >> 1) ^ 0x8408) : static_cast<uint16_t>(ref >> 1);
        EXPECT_EQ(Crc16(std::string(1, static_cast<char>(b))), ref) << "byte " << b;
    }
}

TEST(FileHelpers, RoundTripKeepsEveryByte)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("f.bin").toStdString();
    const ByteString cases[] = {ByteString(), ByteString("a\0b\r\n\0\r\n\xff", 9), ByteString(200000, '\x80')};
    for (const auto& data : cases) {
        WriteStringToFile(data, path);
        EXPECT_EQ(ReadFileToString(path), data) << data.size() << " bytes";
    }
}

TEST(FileHelpers, ErrorsCarryTheReason)
{
    QTemporaryDir dir;
    const std::string missing = dir.filePath("missing.bin").toStdString();
    try {
        ReadFileToString(missing);
        FAIL() << "no error for a missing file";
    } catch (const CalvyxError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + missing + "\". ", 0), 0u) << e.what();
    }
    EXPECT_THROW(WriteStringToFile("x", dir.filePath("no/such/folder/f").toStdString()), CalvyxError);
}

TEST(FileHelpers, DirExistsAndExeDir)
{
    QTemporaryDir dir;
    EXPECT_TRUE(DirExists(dir.path().toStdString()));
    EXPECT_FALSE(DirExists(""));
    EXPECT_FALSE(DirExists(dir.filePath("nope").toStdString()));
    WriteStringToFile("x", dir.filePath("file").toStdString());
    EXPECT_FALSE(DirExists(dir.filePath("file").toStdString()));
    const std::string exe = GetExeDir();
    EXPECT_TRUE(DirExists(exe));
    EXPECT_NE(exe.back(), '/');
}

} // namespace
