// SPDX-License-Identifier: GPL-3.0-or-later
// What wakes the folder tree: a subfolder made, removed or renamed in a folder it
// watches, or the folder itself going; never files written, made or removed there, nor
// anything in a folder it does not watch.
#include <QDir>
#include <QFile>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#include <gtest/gtest.h>

#include "mainwindow/FolderWatch.h"

namespace {

class FolderWatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(QDir(dir_.path()).mkpath("shown/inner"));
        ASSERT_TRUE(QDir(dir_.path()).mkpath("beside"));
        watch_.SetFolders({Path("shown")});
    }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    static void Write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::Append)) << path.toStdString();
        file.write(bytes);
    }
    // The folders reported within a few batches.
    QStringList Reported(QSignalSpy& spy)
    {
        QTest::qWait(3 * FolderWatch::BatchMs);
        QStringList folders;
        for (const QList<QVariant>& call : spy) folders << call.at(0).toString();
        spy.clear();
        return folders;
    }

    QTemporaryDir dir_;
    FolderWatch watch_;
};

TEST_F(FolderWatchTest, FilesComingAndGoingWakeNobody)
{
    QSignalSpy changed(&watch_, &FolderWatch::SubfoldersChanged);
    for (int i = 0; i < 50; ++i) {
        ASSERT_NO_FATAL_FAILURE(Write(Path("shown/f%1.tmp").arg(i), "data"));
        ASSERT_NO_FATAL_FAILURE(Write(Path("beside/f%1.tmp").arg(i), "data"));
    }
    ASSERT_TRUE(QFile::rename(Path("shown/f0.tmp"), Path("shown/g0.tmp")));
    for (int i = 1; i < 50; ++i) ASSERT_TRUE(QFile::remove(Path("shown/f%1.tmp").arg(i)));
    // A folder in a folder that is not watched, and in a subfolder of the watched one.
    ASSERT_TRUE(QDir(Path("beside")).mkdir("new"));
    ASSERT_TRUE(QDir(Path("shown/inner")).mkdir("deeper"));
    EXPECT_EQ(Reported(changed), QStringList());
}

TEST_F(FolderWatchTest, ASubfolderMadeRemovedOrRenamedIsReportedOncePerBatch)
{
    QSignalSpy changed(&watch_, &FolderWatch::SubfoldersChanged);
    const struct {
        const char* what;
        std::function<bool()> act;
    } cases[] = {
        {"made", [&] { return QDir(Path("shown")).mkdir("a") && QDir(Path("shown")).mkdir("b"); }},
        {"renamed", [&] { return QDir(Path("shown")).rename("a", "c"); }},
        {"removed", [&] { return QDir(Path("shown")).rmdir("b"); }},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.act()) << c.what;
        EXPECT_EQ(Reported(changed), QStringList{Path("shown")}) << c.what;
    }
    // Watched no more: nothing.
    watch_.SetFolders({});
    ASSERT_TRUE(QDir(Path("shown")).mkdir("d"));
    EXPECT_EQ(Reported(changed), QStringList());
}

TEST_F(FolderWatchTest, AWatchedFolderThatGoesIsReportedAndForgotten)
{
    watch_.SetFolders({Path("shown"), Path("shown/inner")});
    QSignalSpy changed(&watch_, &FolderWatch::SubfoldersChanged);
    ASSERT_TRUE(QDir(Path("shown/inner")).removeRecursively());
    QStringList reported = Reported(changed);
    reported.sort();
    EXPECT_EQ(reported, QStringList({Path("shown"), Path("shown/inner")}));
    EXPECT_EQ(watch_.Folders(), QSet<QString>{Path("shown")});
}

} // namespace
