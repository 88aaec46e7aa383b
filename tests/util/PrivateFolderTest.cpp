// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user folder check: a folder of this user that nobody else may write into is
// taken; a folder of another user, one others may write into, a symbolic link, or a
// pipe of another user inside is refused with a message that names it and the fix.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>

#include "tests/support/OtherUser.h"
#include "util/PrivateFolder.h"

namespace {

using Kind = PathFacts::Kind;
constexpr uid_t Me = 1000;

TEST(PrivateFolder, TheVerdictOnWhatLstatSaw)
{
    struct Case {
        const char* what;
        PathFacts facts;
        const char* refusal; // a part of the message; nullptr when the folder is taken
    };
    const Case cases[] = {
        {"mine, 0700", {Kind::Folder, Me, 0700}, nullptr},
        {"mine, others may read", {Kind::Folder, Me, 0755}, nullptr},
        {"mine, the group may write",
         {Kind::Folder, Me, 0770},
         "may be changed by other users (mode 0770); make it private with chmod 700 /r"},
        {"mine, anybody may write", {Kind::Folder, Me, 0703}, "chmod 700 /r"},
        {"like /tmp", {Kind::Folder, 0, 01777}, "belongs to another user (uid 0)"},
        {"another user's, 0700", {Kind::Folder, OtherUid, 0700}, "The folder /r belongs to another user (uid 12345); remove it"},
        {"a symbolic link", {Kind::SymbolicLink, Me, 0777}, "The folder /r is a symbolic link"},
        {"a FIFO", {Kind::Fifo, Me, 0600}, "/r is not a folder"},
        {"missing", {Kind::Missing, 0, 0}, "does not exist; create it with mkdir -m 700 /r"},
        {"unreadable", {Kind::Missing, 0, 0, EACCES}, "cannot be checked: Permission denied"},
    };
    for (const Case& c : cases) {
        const std::string problem = PrivateFolderProblem("/r", c.facts, Me);
        if (!c.refusal)
            EXPECT_EQ(problem, "") << c.what;
        else
            EXPECT_NE(problem.find(c.refusal), std::string::npos) << c.what << ": " << problem;
    }
}

TEST(PrivateFolder, TheVerdictOnAnEntryInside)
{
    struct Case {
        const char* what;
        PathFacts facts;
        const char* refusal;
    };
    const Case cases[] = {
        {"my FIFO", {Kind::Fifo, Me, 0600}, nullptr},
        {"another user's FIFO", {Kind::Fifo, OtherUid, 0666}, "/r/PIPE1 belongs to another user (uid 12345); remove it"},
        {"another user's folder", {Kind::Folder, OtherUid, 0700}, "belongs to another user (uid 12345)"},
        {"another user's file", {Kind::Other, OtherUid, 0600}, "belongs to another user"},
        {"a device node of root", {Kind::Device, 0, 0660}, nullptr},
        {"a symbolic link", {Kind::SymbolicLink, Me, 0777}, "/r/PIPE1 is a symbolic link"},
        {"missing", {Kind::Missing, 0, 0}, nullptr},
    };
    for (const Case& c : cases) {
        const std::string problem = PrivateEntryProblem("/r/PIPE1", c.facts, Me);
        if (!c.refusal)
            EXPECT_EQ(problem, "") << c.what;
        else
            EXPECT_NE(problem.find(c.refusal), std::string::npos) << c.what << ": " << problem;
    }
}

// The same on real folders, as lstat reports them.
class PrivateFolderOnDisk : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    std::string Path(const char* name) const { return dir_.path().toStdString() + "/" + name; }
    QTemporaryDir dir_;
};

TEST_F(PrivateFolderOnDisk, AMissingFolderIsMadePrivateWhateverTheUmask)
{
    const std::string folder = Path("run");
    const mode_t old = ::umask(0);
    const std::string problem = MakePrivateFolder(folder);
    ::umask(old);
    EXPECT_EQ(problem, "");
    const PathFacts made = LookAt(folder);
    EXPECT_EQ(made.kind, Kind::Folder);
    EXPECT_EQ(made.owner, ::geteuid());
    EXPECT_EQ(made.mode, 0700u);
    EXPECT_EQ(MakePrivateFolder(folder), "") << "an existing private folder is kept";
    EXPECT_NE(MakePrivateFolder(Path("no/such/parent")).find("cannot be created"), std::string::npos);
}

TEST_F(PrivateFolderOnDisk, FoldersOthersCouldHaveMadeAreRefused)
{
    const std::string good = Path("good");
    ASSERT_EQ(::mkdir(good.c_str(), 0700), 0);
    EXPECT_EQ(PrivateFolderProblem(good), "");

    const std::string open = Path("open");
    ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(open.c_str(), 0777), 0);
    EXPECT_NE(PrivateFolderProblem(open).find("chmod 700 " + open), std::string::npos);
    EXPECT_NE(MakePrivateFolder(open), "") << "an existing folder is checked, not changed";

    const std::string link = Path("link");
    ASSERT_EQ(::symlink(good.c_str(), link.c_str()), 0);
    EXPECT_NE(PrivateFolderProblem(link).find("symbolic link"), std::string::npos) << "the link is judged, not its target";
    EXPECT_NE(PrivateEntryProblem(link).find("symbolic link"), std::string::npos);
}

TEST_F(PrivateFolderOnDisk, AFolderOrFifoOfAnotherUserIsRefused)
{
    SKIP_UNLESS_ROOT();
    const std::string theirs = Path("theirs");
    ASSERT_EQ(::mkdir(theirs.c_str(), 0700), 0);
    ASSERT_TRUE(GiveToOtherUser(theirs));
    EXPECT_NE(PrivateFolderProblem(theirs).find("The folder " + theirs + " belongs to another user (uid 12345)"),
              std::string::npos)
        << PrivateFolderProblem(theirs);
    EXPECT_NE(MakePrivateFolder(theirs), "");

    const std::string fifo = Path("PIPE1");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(PrivateEntryProblem(fifo), "");
    ASSERT_TRUE(GiveToOtherUser(fifo));
    EXPECT_NE(PrivateEntryProblem(fifo).find(fifo + " belongs to another user"), std::string::npos);
}

} // namespace
