// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <utility>
#include <vector>

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

// The three answers to a name that is taken, each after two files came before under
// the same name: nothing is lost unless replacing was asked for, and the kept files
// carry what they held.
TEST(ReceivedFile, ANameThatIsTakenIsReplacedNumberedOrKeptAside)
{
    struct Case {
        const char* what;
        SameName rule;
        std::vector<std::pair<std::string, std::string>> files; // name in the folder -> contents
        std::string lastStored;
        int replacedKept; // files in .replaced
    };
    const Case cases[] = {
        {"replace", SameName::Replace, {{"PROG.83P", "third"}}, "PROG.83P", 0},
        {"keep both",
         SameName::KeepBoth,
         {{"PROG.83P", "first"}, {"PROG (2).83P", "second"}, {"PROG (3).83P", "third"}},
         "PROG (3).83P",
         0},
        {"keep the replaced", SameName::KeepReplaced, {{"PROG.83P", "third"}}, "PROG.83P", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const std::string folder = dir.path().toStdString();
        for (const char* contents : {"first", "second", "third"}) {
            ReplacementFile file;
            ASSERT_EQ(file.Begin(folder, "PROG.83P"), 0);
            ASSERT_EQ(file.Append(contents), 0);
            ASSERT_EQ(file.Commit(c.rule), 0);
        }
        const QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        EXPECT_EQ(names.size(), static_cast<qsizetype>(c.files.size())) << names.join(", ").toStdString();
        for (const auto& [name, contents] : c.files) EXPECT_EQ(ReadFileToString(folder + "/" + name), contents) << name;
        const QDir replaced(dir.filePath(ReplacedFolder));
        const QStringList kept = replaced.entryList(QDir::Files | QDir::Hidden, QDir::Name);
        ASSERT_EQ(kept.size(), c.replacedKept) << kept.join(", ").toStdString();
        if (c.replacedKept > 0) {
            // Dated names that keep the extension; the two older contents, once each.
            QStringList held;
            for (const QString& name : kept) {
                EXPECT_TRUE(name.startsWith("PROG 20") && name.endsWith(".83P")) << name.toStdString();
                held << QString::fromStdString(ReadFileToString(replaced.filePath(name).toStdString()));
            }
            held.sort();
            EXPECT_EQ(held, (QStringList{"first", "second"}));
        }
    }
}

TEST(ReceivedFile, NumberedNamesKeepTheExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"PROG.83P", "PROG (2).83P"},
        {"README", "README (2)"},
        {".profile", ".profile (2)"},
        {"a.tar.gz", "a.tar (2).gz"},
    };
    for (const auto& [name, numbered] : cases) EXPECT_EQ(NumberedName(name, 2), numbered) << name;
}

} // namespace
