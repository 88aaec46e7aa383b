// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "mainwindow/FolderNames.h"

namespace {

TEST(NewFolderName, SkipsFoldersAndFilesAlreadyThere)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString base = tmp.path();
    EXPECT_EQ(NextNewFolderPath(base), base + "/New Folder");
    ASSERT_TRUE(QDir(base).mkdir("New Folder"));
    QFile file(base + "/New Folder (2)");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(NextNewFolderPath(base), base + "/New Folder (3)");
    // Trailing separators leave a single one between the parent and the name.
    EXPECT_EQ(NextNewFolderPath(base + "///"), base + "/New Folder (3)");
    EXPECT_EQ(NextNewFolderPath(""), "");
}

} // namespace
