// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/FileSizeLimit.h"
#include "tests/support/Watchdog.h"
#include "util/CalvyxError.h"
#include "util/Crc16.h"
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
        for (int i = 0; i < 8; ++i)
            ref = (ref & 1) ? static_cast<uint16_t>((ref >> 1) ^ 0x8408) : static_cast<uint16_t>(ref >> 1);
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

// Everything in the folder, hidden entries included: a temporary must never stay behind.
QStringList Entries(const QTemporaryDir& dir)
{
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

TEST(FileHelpers, AFullDiskKeepsTheOldFileAndLeavesNoTemporary)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("prog.qva").toStdString();
    WriteStringToFile("the old program", path);
    {
        ScopedFileSizeLimit full(4096);
        ASSERT_TRUE(full.Active());
        try {
            WriteStringToFile(ByteString(10000, 'n'), path);
            FAIL() << "a write past the end of the disk reported success";
        } catch (const CalvyxError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("I/O error " + std::to_string(EFBIG) + ": ", 0), 0u) << e.what();
        }
    }
    EXPECT_EQ(ReadFileToString(path), "the old program");
    EXPECT_EQ(Entries(dir), QStringList{"prog.qva"});
}

TEST(FileHelpers, ReplacingKeepsPermissionsAndLinks)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto at = [&](const char* name) { return dir.filePath(name).toStdString(); };

    // A new file gets what the umask allows, a replaced one keeps its own permissions.
    const mode_t mask = ::umask(027);
    WriteStringToFile("old", at("script"));
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(at("script").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    ASSERT_EQ(::chmod(at("script").c_str(), 0751), 0);
    WriteStringToFile("new", at("script"));
    ASSERT_EQ(::stat(at("script").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0751u);

    // A link chosen in a save dialog: the file it names gets the bytes, the link stays.
    WriteStringToFile("target", at("real"));
    ASSERT_TRUE(QFile::link(dir.filePath("real"), dir.filePath("link")));
    WriteStringToFile("through the link", at("link"));
    EXPECT_EQ(ReadFileToString(at("real")), "through the link");
    EXPECT_TRUE(QFileInfo(dir.filePath("link")).isSymLink());

    // ReplaceFile itself never writes through a link (a received file names its own
    // place in the folder): the link is replaced and the file it named is untouched.
    ASSERT_EQ(ReplaceFile(at("link"), "replaced"), 0);
    EXPECT_FALSE(QFileInfo(dir.filePath("link")).isSymLink());
    EXPECT_EQ(ReadFileToString(at("link")), "replaced");
    EXPECT_EQ(ReadFileToString(at("real")), "through the link");
    EXPECT_EQ(Entries(dir), (QStringList{"link", "real", "script"}));
}

TEST(FileHelpers, APipeIsWrittenInPlaceNotReplaced)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string fifo = dir.filePath("pipe").toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // The reader is open first, so the writer neither blocks nor fails.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    WriteStringToFile("to the reader", fifo);
    char buf[64] = {};
    EXPECT_EQ(::read(reader, buf, sizeof buf), 13);
    EXPECT_STREQ(buf, "to the reader");
    ::close(reader);
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the pipe was replaced by a file";

    // Nobody reads the pipe now: the save fails at once instead of waiting for a reader.
    // Should it wait after all, a reader appears after 5 s so the test ends and says so.
    std::atomic<bool> rescued{false};
    Watchdog finished;
    std::thread watchdog([&] {
        if (finished.WaitFor(std::chrono::seconds(5))) return;
        rescued = true;
        const int late = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        if (late >= 0) ::close(late);
    });
    try {
        WriteStringToFile("to nobody", fifo);
        ADD_FAILURE() << "a save into a pipe that nobody reads reported success";
    } catch (const CalvyxError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("I/O error " + std::to_string(ENXIO) + ": ", 0), 0u) << e.what();
    }
    finished.Done();
    watchdog.join();
    EXPECT_FALSE(rescued) << "the save waited for a reader";
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

namespace {

TEST(VisibleText, ControlBytesBecomeVisibleAndPrintableTextStays)
{
    const std::pair<ByteString, std::string> cases[] = {
        {"PROG.QVA", "PROG.QVA"},
        {"A\x1b[2JB", "A\\x1b[2JB"},                // a terminal escape
        {"\x1b]0;title\x07", "\\x1b]0;title\\x07"}, // a title change and BEL
        {"line\r\nfake", "line\\x0d\\x0afake"},     // no fake output lines
        {"del\x7f", "del\\x7f"},
        {"back\\slash", "back\\\\slash"},                         // the escape itself stays unambiguous
        {"caf\xc3\xa9 \xe2\x82\xac", "caf\xc3\xa9 \xe2\x82\xac"}, // UTF-8 letters and signs stay
        {"csi\xc2\x9b"
         "2J",
         "csi\\xc2\\x9b2J"}, // a C1 control as UTF-8
        {"latin\x9b"
         "2J\xe9",
         "latin\\x9b2J\xe9"}, // not UTF-8: 0x80-0x9F escaped, the rest kept
        {ByteString("nul\0x", 5), "nul\\x00x"},
    };
    for (const auto& [text, shown] : cases) EXPECT_EQ(VisibleText(text), shown) << HexBytes(text);
}

} // namespace
