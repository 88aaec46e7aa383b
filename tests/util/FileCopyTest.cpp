// SPDX-License-Identifier: GPL-3.0-or-later
// Copies into a folder: what a copy takes and refuses, what it replaces (a link by name,
// never through it), and that a cancelled or failed copy keeps the old file and leaves
// no temporary behind.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "tests/support/FileSizeLimit.h"
#include "tests/support/Watchdog.h"
#include "util/FileCopy.h"
#include "util/Utils.h"

namespace {

using Kind = FileCopyOutcome::Kind;

const char* KindName(Kind kind)
{
    switch (kind) {
    case Kind::Copied:
        return "Copied";
    case Kind::Cancelled:
        return "Cancelled";
    case Kind::Folder:
        return "Folder";
    case Kind::NotAFile:
        return "NotAFile";
    case Kind::Failed:
        return "Failed";
    }
    return "?";
}

class FileCopyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(source_.isValid());
        ASSERT_TRUE(target_.isValid());
    }
    std::string Source(const char* name) const { return source_.filePath(name).toStdString(); }
    std::string Target(const char* name) const { return target_.filePath(name).toStdString(); }
    // Everything in the target folder, hidden entries included.
    QStringList TargetEntries() const
    {
        return QDir(target_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    FileCopyOutcome Copy(const std::string& source, const char* name, const ChunkCopied& chunkCopied = {})
    {
        return CopyIntoFolder(source, target_.path().toStdString(), name, cancel_, chunkCopied);
    }

    QTemporaryDir source_;
    QTemporaryDir target_;
    std::atomic<bool> cancel_{false};
};

TEST_F(FileCopyTest, RegularFilesAreCopiedAndEverythingElseRefused)
{
    WriteStringToFile(ByteString("plain\0bytes\xff", 12), Source("plain"));
    WriteStringToFile(ByteString(200000, 'b'), Source("big"));
    ASSERT_TRUE(QFile::link(source_.filePath("plain"), source_.filePath("link-to-plain")));
    ASSERT_EQ(::mkfifo(Source("fifo").c_str(), 0600), 0);
    ASSERT_TRUE(QDir(source_.path()).mkdir("folder"));
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = Source("socket");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    struct Case {
        const char* what;
        std::string source;
        Kind kind;
        int error;
        std::string bytes; // the copy's, when copied
    };
    const Case cases[] = {
        {"a regular file", Source("plain"), Kind::Copied, 0, std::string("plain\0bytes\xff", 12)},
        {"a file of several chunks", Source("big"), Kind::Copied, 0, std::string(200000, 'b')},
        {"a link to a file copies the file", Source("link-to-plain"), Kind::Copied, 0, std::string("plain\0bytes\xff", 12)},
        {"a pipe without a writer", Source("fifo"), Kind::NotAFile, 0, {}},
        {"a device", "/dev/null", Kind::NotAFile, 0, {}},
        {"a folder", Source("folder"), Kind::Folder, 0, {}},
        {"a socket cannot even be opened", socketPath, Kind::Failed, ENXIO, {}},
        {"a missing file", Source("missing"), Kind::Failed, ENOENT, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A copy that blocked on the pipe would wait for a writer: one comes after 5 s,
        // so the test ends and says so.
        std::atomic<bool> rescued{false};
        Watchdog finished;
        std::thread watchdog([&] {
            if (finished.WaitFor(std::chrono::seconds(5))) return;
            rescued = true;
            const int writer = ::open(Source("fifo").c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) ::close(writer);
        });
        const FileCopyOutcome outcome = Copy(c.source, "copy");
        finished.Done();
        watchdog.join();
        EXPECT_FALSE(rescued) << "the copy waited on its source";
        EXPECT_STREQ(KindName(outcome.kind), KindName(c.kind));
        EXPECT_EQ(outcome.error, c.error) << std::strerror(outcome.error);
        if (c.kind == Kind::Copied) {
            EXPECT_TRUE(ReadFileToString(Target("copy")) == c.bytes) << ReadFileToString(Target("copy")).size() << " bytes";
            EXPECT_EQ(TargetEntries(), QStringList{"copy"});
            ASSERT_EQ(::unlink(Target("copy").c_str()), 0);
        }
        EXPECT_TRUE(TargetEntries().isEmpty()) << TargetEntries().join(' ').toStdString();
    }
    ::close(sock);
}

TEST_F(FileCopyTest, ANameTakenByALinkIsReplacedNeverWrittenThrough)
{
    QTemporaryDir outside;
    const std::string secret = outside.filePath("secret").toStdString();
    WriteStringToFile("not to be touched", secret);
    ASSERT_EQ(::chmod(secret.c_str(), 0705), 0);
    WriteStringToFile("dropped", Source("dropped"));
    ASSERT_TRUE(QFile::link(QString::fromStdString(secret), target_.filePath("link")));
    ASSERT_TRUE(QFile::link(outside.filePath("nothing"), target_.filePath("dangling")));
    WriteStringToFile("old", Target("kept-mode"));
    ASSERT_EQ(::chmod(Target("kept-mode").c_str(), 0751), 0);

    for (const char* name : {"link", "dangling", "kept-mode"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(Copy(Source("dropped"), name).kind, Kind::Copied);
        struct stat st {};
        ASSERT_EQ(::lstat(Target(name).c_str(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode)) << "the name is not a regular file now";
        EXPECT_EQ(ReadFileToString(Target(name)), "dropped");
    }
    EXPECT_EQ(ReadFileToString(secret), "not to be touched");
    EXPECT_FALSE(QFileInfo::exists(outside.filePath("nothing")));
    struct stat st {};
    ASSERT_EQ(::stat(Target("kept-mode").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0751u) << "a replaced file keeps its permissions";
    ASSERT_EQ(::stat(Target("link").c_str(), &st), 0);
    EXPECT_NE(st.st_mode & 07777, 0705u) << "the link's target lent its permissions to the copy";
    EXPECT_EQ(TargetEntries(), (QStringList{"dangling", "kept-mode", "link"}));
}

TEST_F(FileCopyTest, ACancelledOrFailedCopyKeepsTheOldFileAndLeavesNothing)
{
    WriteStringToFile(ByteString(300000, 'n'), Source("new"));
    WriteStringToFile("the old file", Target("file"));

    // Cancelled after the first chunk: the copy stops before the next one.
    int chunks = 0;
    FileCopyOutcome outcome = Copy(Source("new"), "file", [&](std::uint64_t copied) {
        ++chunks;
        EXPECT_GT(copied, 0u);
        cancel_ = true;
    });
    EXPECT_STREQ(KindName(outcome.kind), "Cancelled");
    EXPECT_EQ(chunks, 1);
    EXPECT_TRUE(ReadFileToString(Target("file")) == "the old file") << ReadFileToString(Target("file")).size() << " bytes";
    EXPECT_EQ(TargetEntries(), QStringList{"file"});

    // A write that fails (the disk is full, as far as this process goes): the reason.
    cancel_ = false;
    {
        ScopedFileSizeLimit full(4096);
        ASSERT_TRUE(full.Active());
        outcome = Copy(Source("new"), "file");
    }
    EXPECT_STREQ(KindName(outcome.kind), "Failed");
    EXPECT_EQ(outcome.error, EFBIG) << std::strerror(outcome.error);
    EXPECT_TRUE(ReadFileToString(Target("file")) == "the old file") << ReadFileToString(Target("file")).size() << " bytes";
    EXPECT_EQ(TargetEntries(), QStringList{"file"});

    // A folder that cannot take the temporary.
    ASSERT_EQ(::chmod(target_.path().toLocal8Bit().constData(), 0500), 0);
    outcome = Copy(Source("new"), "file");
    ASSERT_EQ(::chmod(target_.path().toLocal8Bit().constData(), 0700), 0);
    if (::geteuid() != 0) {
        EXPECT_STREQ(KindName(outcome.kind), "Failed");
        EXPECT_EQ(outcome.error, EACCES) << std::strerror(outcome.error);
        EXPECT_TRUE(ReadFileToString(Target("file")) == "the old file") << ReadFileToString(Target("file")).size() << " bytes";
    }
    EXPECT_EQ(TargetEntries(), QStringList{"file"});
}

TEST_F(FileCopyTest, ABatchCopiesInItsOwnThreadAndACancelSkipsTheRest)
{
    WriteStringToFile(ByteString(200000, '1'), Source("one"));
    WriteStringToFile(ByteString(200000, '2'), Source("two"));
    WriteStringToFile("old two", Target("two"));
    const std::string folder = target_.path().toStdString();

    std::atomic<QThread*> copyingThread{nullptr};
    FileCopyBatch* self = nullptr;
    FileCopyBatch batch({{Source("one"), folder, "one"}, {Source("two"), folder, "two"}}, [&](std::uint64_t) {
        copyingThread = QThread::currentThread();
        // Cancelled inside the second file: the first stays copied, the second is not.
        if (self->Current() == 1) self->Cancel();
    });
    self = &batch;
    batch.start();
    ASSERT_TRUE(batch.Join(QDeadlineTimer(20000))) << "the batch did not end";
    EXPECT_NE(copyingThread.load(), nullptr);
    EXPECT_NE(copyingThread.load(), QThread::currentThread());
    ASSERT_EQ(batch.Outcomes().size(), 2u);
    EXPECT_STREQ(KindName(batch.Outcomes()[0].kind), "Copied");
    EXPECT_STREQ(KindName(batch.Outcomes()[1].kind), "Cancelled");
    EXPECT_EQ(batch.BytesTotal(), 400000u);
    EXPECT_GT(batch.BytesCopied(), 200000u);
    EXPECT_TRUE(ReadFileToString(Target("one")) == ByteString(200000, '1'));
    EXPECT_TRUE(ReadFileToString(Target("two")) == "old two") << ReadFileToString(Target("two")).size() << " bytes";
    EXPECT_EQ(TargetEntries(), (QStringList{"one", "two"}));
}

} // namespace
