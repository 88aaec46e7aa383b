// SPDX-License-Identifier: GPL-3.0-or-later
// The window's run-time files live only in folders of this user: the start-up lock and
// its socket in the runtime folder, the calculator's pipe device under the device root.
// A folder another user made or may write into, or a lock of another user, is refused
// with a message that names it and what to do; the program then ends with a failure.
#include <sys/stat.h>
#include <unistd.h>

#include <QLabel>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>

#include "mainwindow/SingleInstance.h"
#include "services/TransferServer.h"
#include "tests/mainwindow/MainWindowFixture.h"
#include "tests/support/OtherUser.h"

namespace mwtest {
namespace {

// A runtime folder of the test's own, spoiled as a case asks.
class RuntimeFolder : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(parent_.isValid()); }
    std::string Path() const { return parent_.path().toStdString() + "/run"; }
    // Makes the folder with mode, this user's or another user's.
    void Make(mode_t mode, bool theirs = false)
    {
        ASSERT_EQ(::mkdir(Path().c_str(), 0700), 0);
        ASSERT_EQ(::chmod(Path().c_str(), mode), 0);
        if (theirs) {
            ASSERT_TRUE(GiveToOtherUser(Path()));
        }
    }
    QTemporaryDir parent_;
};

TEST_F(RuntimeFolder, AFolderOthersMayWriteIntoIsRefusedAndNothingIsMadeThere)
{
    ASSERT_NO_FATAL_FAILURE(Make(0777));
    ScopedEnv runtime("XDG_RUNTIME_DIR", Path());
    SingleInstance instance;
    QString refusal;
    EXPECT_EQ(instance.Acquire(&refusal), SingleInstance::Outcome::Refused);
    EXPECT_TRUE(refusal.contains(QString::fromStdString("chmod 700 " + Path()))) << refusal.toStdString();
    struct stat st {};
    EXPECT_NE(::lstat(SingleInstance::LockPath().toLocal8Bit().constData(), &st), 0) << "a lock was made there anyway";
}

TEST_F(RuntimeFolder, AFolderOrALockOfAnotherUserIsRefused)
{
    SKIP_UNLESS_ROOT();
    {
        ASSERT_NO_FATAL_FAILURE(Make(0700, true));
        ScopedEnv runtime("XDG_RUNTIME_DIR", Path());
        SingleInstance instance;
        QString refusal;
        EXPECT_EQ(instance.Acquire(&refusal), SingleInstance::Outcome::Refused);
        EXPECT_TRUE(refusal.contains(QString::fromStdString("The folder " + Path() + " belongs to another user (uid 12345)")))
            << refusal.toStdString();
        ASSERT_EQ(::rmdir(Path().c_str()), 0);
    }
    // A private folder, but the lock in it is held and belongs to somebody else.
    ASSERT_NO_FATAL_FAILURE(Make(0700));
    ScopedEnv runtime("XDG_RUNTIME_DIR", Path());
    QLockFile held(SingleInstance::LockPath());
    ASSERT_TRUE(held.tryLock(0));
    ASSERT_TRUE(GiveToOtherUser(SingleInstance::LockPath().toStdString()));
    SingleInstance instance;
    QString refusal;
    EXPECT_EQ(instance.Acquire(&refusal), SingleInstance::Outcome::Refused) << "taken for a running instance of this user";
    EXPECT_TRUE(refusal.contains("The start-up lock " + SingleInstance::LockPath() + " belongs to another user"))
        << refusal.toStdString();
}

TEST_F(RuntimeFolder, WithoutASessionFolderAPrivateOneIsMadeInTheTemporaryFolder)
{
    ScopedEnv noSession("XDG_RUNTIME_DIR", std::nullopt);
    ScopedEnv temporary("TMPDIR", parent_.path().toStdString());
    const QString folder = SingleInstance::Folder();
    EXPECT_TRUE(folder.startsWith(parent_.path() + "/runtime-")) << folder.toStdString();
    const mode_t old = ::umask(0);
    SingleInstance instance;
    EXPECT_EQ(instance.Acquire(), SingleInstance::Outcome::Acquired);
    ::umask(old);
    struct stat st {};
    ASSERT_EQ(::lstat(folder.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    EXPECT_EQ(st.st_uid, ::geteuid());
}

TEST_F(RuntimeFolder, TheWindowIsNotMadeAndTheProgramFails)
{
    ASSERT_NO_FATAL_FAILURE(Make(0777));
    {
        ScopedEnv runtime("XDG_RUNTIME_DIR", Path());
        int ended = 0;
        MainWindow window([&] { ++ended; });
        EXPECT_TRUE(window.Refused());
        EXPECT_TRUE(window.StartRefusal().contains(QString::fromStdString("chmod 700 " + Path())))
            << window.StartRefusal().toStdString();
        EXPECT_EQ(ended, 0) << "ended as a second start would, quietly and with success";
    }
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(Path()));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(CALVYX_BINARY_DIR "/app/calvyx"), {});
    ASSERT_TRUE(program.waitForFinished(20000)) << "the program went on without its lock";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_TRUE(errors.contains(QString::fromStdString("calvyx: The folder " + Path()))) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QString::fromStdString("chmod 700 " + Path()))) << errors.toStdString();
}

// The pipe device in a root that others may write into is not the calculator, and the
// user is told why once, not at every poll.
TEST_F(MainWindowTest, APipeDeviceOthersCouldHaveMadeIsRefusedAndTheUserTold)
{
    Device(true);
    ASSERT_EQ(::chmod(root_->Path().c_str(), 0777), 0);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitFor([this] { return !errors_.empty(); }, 10000)) << "nothing was said";
    EXPECT_TRUE(
        errors_[0].contains(QString::fromStdString("QVxT0+. The folder " + root_->Path() + " may be changed by other users")))
        << errors_[0].toStdString();
    EXPECT_TRUE(errors_[0].contains(QString::fromStdString("chmod 700 " + root_->Path()))) << errors_[0].toStdString();
    for (int i = 0; i < 3; ++i) {
        ForceRecheck();
        window_->Poll();
    }
    EXPECT_EQ(errors_.size(), 1u) << "said again at a later poll";
    EXPECT_EQ(window_->ConnState(), StateDisconnected);
    EXPECT_TRUE(window_->Server().PortName().empty());

    ASSERT_EQ(::chmod(root_->Path().c_str(), 0700), 0);
    ForceRecheck();
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
}

} // namespace
} // namespace mwtest
