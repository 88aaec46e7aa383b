#include "mainwindow/MainSettings.h"

#include "util/Registry.h"

namespace {
QString RecentKey(int n) { return QStringLiteral("ldir%1").arg(n); }
} // namespace

MainSettings ReadMainSettings(const QString& currentDir)
{
    auto reg = OpenRegistryKey();
    MainSettings s;
    s.dir = ReadRegistryString(*reg, QStringLiteral("dir"), currentDir);
    const int width = ReadRegistryString(*reg, QStringLiteral("DirWidthSplit"), {}).trimmed().toInt();
    s.dirWidthSplit = width > 0 ? width : DefaultDirWidthSplit;
    for (int n = 1; n <= RecentSlotCount; ++n) s.recent[n - 1] = ReadRegistryString(*reg, RecentKey(n), QString());
    return s;
}

void WriteMainSettings(const MainSettings& settings)
{
    auto reg = OpenRegistryKey();
    WriteRegistryInteger(*reg, QStringLiteral("DirWidthSplit"), settings.dirWidthSplit);
    WriteRegistryString(*reg, QStringLiteral("dir"), settings.dir);
    for (int n = 1; n <= RecentSlotCount; ++n) WriteRegistryString(*reg, RecentKey(n), settings.recent[n - 1]);
    reg->sync();
}
