// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTextStream>

#include "mainwindow/MainSettings.h"
#include "mainwindow/SingleInstance.h"
#include "tests/mainwindow/TestEnvironment.h"
#include "util/Settings.h"

namespace {

TEST(MainSettings, DefaultsWithoutAKey)
{
    mwtest::ClearSettings();
    const MainSettings s = ReadMainSettings("/some/cwd");
    EXPECT_EQ(s.dir, "/some/cwd");
    EXPECT_EQ(s.dirWidthSplit, 180);
    for (const auto& slot : s.recent) EXPECT_TRUE(slot.isEmpty());
}

TEST(MainSettings, NineRecentValuesReplaceALongerList)
{
    mwtest::ClearSettings();
    MainSettings s;
    s.dir = "/data/calc";
    s.dirWidthSplit = 240;
    for (int i = 0; i < 9; ++i) s.recent[i] = QString("/r%1").arg(i + 1);
    WriteMainSettings(s);

    MainSettings shorter = s;
    shorter.recent = {};
    shorter.recent[0] = "/only";
    WriteMainSettings(shorter);

    // Stored as string values in the user's configuration file, under the program's key.
    auto reg = OpenSettings();
    EXPECT_TRUE(reg->fileName().startsWith(mwtest::EnvRoot() + "/config/Quentar-Varisko/Calvyx"))
        << reg->fileName().toStdString();
    EXPECT_EQ(reg->value("DirWidthSplit").toString(), "240");
    EXPECT_EQ(reg->value("dir").toString(), "/data/calc");
    EXPECT_EQ(reg->value("ldir1").toString(), "/only");
    for (int n = 2; n <= 9; ++n) {
        EXPECT_TRUE(reg->contains(QString("ldir%1").arg(n))) << n;
        EXPECT_EQ(reg->value(QString("ldir%1").arg(n)).toString(), "") << n;
    }
    const MainSettings back = ReadMainSettings("/cwd");
    EXPECT_EQ(back.recent[0], "/only");
    EXPECT_EQ(back.dirWidthSplit, 240);
}

TEST(MainSettings, WidthThatIsNotANumberGivesTheDefault)
{
    mwtest::ClearSettings();
    for (const char* text : {"abc", "", "12.5", "-4"}) {
        OpenSettings()->setValue("DirWidthSplit", text);
        EXPECT_EQ(ReadMainSettings("/").dirWidthSplit, 180) << text;
    }
    OpenSettings()->setValue("DirWidthSplit", " 250 ");
    EXPECT_EQ(ReadMainSettings("/").dirWidthSplit, 250);
}

TEST(MainSettings, ValuesThatAreNotTextTakeTheirDefaults)
{
    // A hand-edited "a,b" reads back as a list: start-up must go on with the defaults.
    mwtest::ClearSettings();
    {
        auto reg = OpenSettings();
        reg->setValue("dir", QStringList{"/a", "b"});
        reg->setValue("DirWidthSplit", QStringList{"1", "2"});
        reg->setValue("ldir1", QStringList{"/x", "y"});
        reg->setValue("ldir2", "/kept");
    }
    const MainSettings s = ReadMainSettings("/cwd");
    EXPECT_EQ(s.dir, "/cwd");
    EXPECT_EQ(s.dirWidthSplit, 180);
    EXPECT_EQ(s.recent[0], "");
    EXPECT_EQ(s.recent[1], "/kept");
}

TEST(SingleInstance, SecondHolderIsRefusedAndAStaleLockTakenOver)
{
    QFile::remove(SingleInstance::LockPath());
    EXPECT_TRUE(SingleInstance::LockPath().startsWith(mwtest::EnvRoot() + "/runtime/"));
    {
        SingleInstance first;
        ASSERT_EQ(first.Acquire(), SingleInstance::Outcome::Acquired);
        SingleInstance second;
        EXPECT_EQ(second.Acquire(), SingleInstance::Outcome::AlreadyRunning);
    }
    // A lock left by a process that has ended (here: one that exited at once).
    QProcess dead;
    dead.start("sleep", {"0.1"});
    ASSERT_TRUE(dead.waitForStarted(5000));
    const qint64 deadPid = dead.processId();
    ASSERT_TRUE(dead.waitForFinished(5000));
    {
        QFile lock(SingleInstance::LockPath());
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        QTextStream(&lock) << deadPid << "\ncalvyx\n\n";
    }
    SingleInstance again;
    EXPECT_EQ(again.Acquire(), SingleInstance::Outcome::Acquired);
}

} // namespace
