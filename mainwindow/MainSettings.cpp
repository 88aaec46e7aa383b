// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/MainSettings.h"

#include "util/CalvyxError.h"
#include "util/Settings.h"

namespace {
QString RecentKey(int n) { return QStringLiteral("ldir%1").arg(n); }

// A value of another type (a hand-edited list, a stored variant) reads as missing: the
// program starts with the default and writes a sound value at close.
QString ReadOrDefault(const QSettings& key, const QString& name, const QString& defaultValue)
{
    try {
        return ReadSettingString(key, name, defaultValue);
    } catch (const CalvyxError&) {
        return defaultValue;
    }
}
} // namespace

MainSettings ReadMainSettings(const QString& currentDir)
{
    auto reg = OpenSettings();
    MainSettings s;
    s.dir = ReadOrDefault(*reg, QStringLiteral("dir"), currentDir);
    const int width = ReadOrDefault(*reg, QStringLiteral("DirWidthSplit"), {}).trimmed().toInt();
    s.dirWidthSplit = width > 0 ? width : DefaultDirWidthSplit;
    for (int n = 1; n <= RecentSlotCount; ++n) s.recent[n - 1] = ReadOrDefault(*reg, RecentKey(n), QString());
    return s;
}

void WriteMainSettings(const MainSettings& settings)
{
    auto reg = OpenSettings();
    WriteSettingInteger(*reg, QStringLiteral("DirWidthSplit"), settings.dirWidthSplit);
    WriteSettingString(*reg, QStringLiteral("dir"), settings.dir);
    for (int n = 1; n <= RecentSlotCount; ++n) WriteSettingString(*reg, RecentKey(n), settings.recent[n - 1]);
    reg->sync();
}
