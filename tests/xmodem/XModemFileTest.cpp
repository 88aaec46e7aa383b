// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "util/CalvyxError.h"
#include "xmodem/XModemFile.h"

using namespace xmodem;

namespace {

// Every byte value, CR, LF and the old end-of-file mark 0x1A among them: a file opened
// as text would come back short or changed.
std::string EveryByte(int times)
{
    std::string bytes;
    for (int t = 0; t < times; ++t)
        for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    return bytes;
}

std::string WriteFile(const QTemporaryDir& dir, const char* name, const std::string& bytes)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path.toStdString();
}

TEST(XModemFile, BlocksAtAnyOffsetAreTheFileBytes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string bytes = EveryByte(5);
    XModemFile file(WriteFile(dir, "all.bin", bytes));
    ASSERT_EQ(file.Size(), static_cast<int64_t>(bytes.size()));
    // Blocks of both sizes, out of order, one straddling the 0x1A bytes.
    struct Case {
        int64_t offset;
        std::size_t size;
    } cases[] = {{1024, 128}, {0, 1024}, {20, 128}, {static_cast<int64_t>(bytes.size()) - 128, 128}};
    for (const Case& c : cases) {
        const ByteString block = file.Read(c.offset, c.size);
        EXPECT_EQ(block, bytes.substr(static_cast<std::size_t>(c.offset), c.size)) << "at " << c.offset;
    }
}

TEST(XModemFile, AFileThatChangedSizeOrIsAFolderIsRefused)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = WriteFile(dir, "grows.bin", EveryByte(1));
    XModemFile file(path);
    QFile more(QString::fromStdString(path));
    ASSERT_TRUE(more.open(QIODevice::Append));
    more.write("more", 4);
    more.close();
    EXPECT_THROW(file.Read(0, 128), CalvyxError);
    EXPECT_THROW(XModemFile{dir.path().toStdString()}, CalvyxError);
}

} // namespace
