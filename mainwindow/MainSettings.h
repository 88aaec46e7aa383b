// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's own settings at the top of the program's settings store: the transfer folder
// ("dir"), the folder tree's width ("DirWidthSplit") and the recent folders ("ldir1" to
// "ldir9"). Every value is a string; numbers are decimal text.
#include <QString>

#include "mainwindow/RecentFolders.h"

inline constexpr int DefaultDirWidthSplit = 180;

struct MainSettings {
    QString dir;
    int dirWidthSplit = DefaultDirWidthSplit;
    RecentSlots recent;
};

// Missing values take their defaults: dir the given current folder, the width 180 (also
// for a text that is not a whole number), the recent slots empty. A value that is not
// text at all counts as missing.
MainSettings ReadMainSettings(const QString& currentDir);
// Writes all of them, the nine recent slots included (empty ones as empty text), so a
// shorter list replaces a longer one.
void WriteMainSettings(const MainSettings& settings);
