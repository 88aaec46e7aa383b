// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QStringList>

#include "mainwindow/RecentFolders.h"

namespace {

RecentSlots RecentList(std::initializer_list<const char*> folders)
{
    RecentSlots s;
    int i = 0;
    for (const char* f : folders) s[i++] = QString::fromUtf8(f);
    return s;
}

QString Show(const RecentSlots& s)
{
    QStringList parts;
    for (const auto& f : s) parts << (f.isEmpty() ? QStringLiteral("-") : f);
    return parts.join(QLatin1Char(','));
}

struct AddCase {
    const char* name;
    RecentSlots before;
    const char* folder;
    RecentSlots after;
};

TEST(RecentFolders, AddMovesFolderToTop)
{
    const AddCase cases[] = {
        {"existing entry moves up", RecentList({"P1", "P2", "P3"}), "P2", RecentList({"P2", "P1", "P3"})},
        {"new folder on a full list drops slot 9", RecentList({"A", "B", "C", "D", "E", "F", "G", "H", "I"}), "P0",
         RecentList({"P0", "A", "B", "C", "D", "E", "F", "G", "H"})},
        {"entry in slot 5 of a full list: slot 9 lost all the same", RecentList({"A", "B", "C", "D", "F", "E", "G", "H", "I"}),
         "F", RecentList({"F", "A", "B", "C", "D", "E", "G", "H"})},
        {"slot 1 already holds it on a full list", RecentList({"F", "B", "C", "D", "E", "G", "H", "I", "J"}), "F",
         RecentList({"F", "B", "C", "D", "E", "G", "H", "I"})},
        {"letter case makes another entry", RecentList({"/home/a", "/home/b"}), "/home/A",
         RecentList({"/home/A", "/home/a", "/home/b"})},
        {"no folder: nothing added, slot 9 dropped", RecentList({"A", "B", "C", "D", "E", "F", "G", "H", "I"}), "",
         RecentList({"A", "B", "C", "D", "E", "F", "G", "H"})},
        {"empty list", RecentList({}), "/x", RecentList({"/x"})},
    };
    for (const auto& c : cases) {
        RecentSlots s = c.before;
        AddRecentFolderSlots(s, QString::fromUtf8(c.folder));
        EXPECT_EQ(Show(s), Show(c.after)) << c.name;
    }
}

TEST(RecentFolders, NormalizeRemovesLaterDuplicatesAndCompacts)
{
    RecentSlots s = RecentList({"", "A", "B", "", "A", "C", "B", "", "D"});
    NormalizeRecentSlots(s);
    EXPECT_EQ(Show(s), Show(RecentList({"A", "B", "C", "D"})));
    NormalizeRecentSlots(s);
    EXPECT_EQ(Show(s), Show(RecentList({"A", "B", "C", "D"})));
}

TEST(RecentFolders, CaptionShowsAmpersandsAsTyped)
{
    EXPECT_EQ(RecentCaption(1, "/home/u/calc"), "&1 /home/u/calc");
    EXPECT_EQ(RecentCaption(9, "/tmp/R&D"), "&9 /tmp/R&&D");
}

} // namespace
