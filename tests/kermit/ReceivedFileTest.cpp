// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cerrno>

#include <QDir>
#include <QTemporaryDir>

#include "kermit/ReceivedFile.h"
#include "util/CalvyxError.h"
#include "util/ReplacementFile.h"
#include "util/Utils.h"

using namespace kermit;

namespace {

TEST(ReceivedFile, NamesThatWouldLeaveTheFolderAreRefused)
{
    struct Case {
        std::string name;
        bool safe;
    } cases[] = {
        {"CALC.QVA", true},
        {"a b-c_d.8xp", true},
        {"..hidden", true},
        {"\xE9t\xE9.bin", true},
        {"", false},
        {".", false},
        {"..", false},
        {"../x", false},
        {"/etc/passwd", false},
        {"sub/file", false},
        {"..\\x", false},
        {"C:x", false},
        {std::string("a\0b", 3), false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsSafeFileName(c.name), c.safe) << "name \"" << c.name << "\"";
}

TEST(ReceivedFile, ReplacesTheOldFileOnlyWhenComplete)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("f.bin").toStdString();
    WriteStringToFile("old", path);
    const ByteString data("new\0data", 8);
    ReplacementFile file;
    ASSERT_EQ(file.Begin(path), 0);
    ASSERT_EQ(file.Append(data.substr(0, 3)), 0);
    EXPECT_EQ(ReadFileToString(path), "old") << "replaced before it was complete";
    ASSERT_EQ(file.Append(data.substr(3)), 0);
    ASSERT_EQ(file.Commit(), 0);
    EXPECT_EQ(ReadFileToString(path), data);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "temporary file left behind";
}

TEST(ReceivedFile, FailedWriteKeepsTheOldFileAndLeavesNoTemporary)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // The target is a folder: the final rename fails after the data was written.
    const std::string target = dir.filePath("taken").toStdString();
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken"));
    WriteStringToFile("keep", target + "/inner");
    ReplacementFile file;
    ASSERT_EQ(file.Begin(target), 0);
    ASSERT_EQ(file.Append("data"), 0);
    EXPECT_NE(file.Commit(), 0);
    EXPECT_EQ(ReadFileToString(target + "/inner"), "keep");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0) << "temporary file left behind";
    // A folder that does not exist: nothing to create the temporary file in.
    EXPECT_EQ(ReplacementFile().Begin(dir.filePath("none/f").toStdString()), ENOENT);
}

} // namespace
