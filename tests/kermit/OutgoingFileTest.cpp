// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "kermit/KermitFrame.h"
#include "kermit/OutgoingFile.h"

using namespace kermit;

namespace {

// Every byte value, CR, LF and the old end-of-file mark 0x1A among them, comes out of
// the data fields as it is in the file: a file read as text would end at the first
// 0x1A or lose its CRs.
TEST(OutgoingFile, DataFieldsCarryEveryByteOfTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::string bytes;
    for (int t = 0; t < 3; ++t)
        for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    const QString path = dir.filePath(QStringLiteral("every.bin"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes.data(), static_cast<qint64>(bytes.size()));
    out.close();

    OutgoingFile file;
    ASSERT_TRUE(file.Open(path.toStdString()));
    EXPECT_EQ(file.Size(), static_cast<int64_t>(bytes.size()));
    std::string sent;
    for (ByteString field = file.NextField(); !field.empty(); field = file.NextField()) {
        ASSERT_LE(field.size(), MaxSendData);
        sent += DecodeData(field);
        ASSERT_LE(sent.size(), bytes.size()) << "more data than the file holds";
    }
    EXPECT_EQ(sent, bytes);
    EXPECT_EQ(file.Position(), file.Size());
}

} // namespace
