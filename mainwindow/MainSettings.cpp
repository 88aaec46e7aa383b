#include "mainwindow/MainSettings.h"

namespace {
QString RecentKey(int n) { return QStringLiteral("ldir%1").arg(n); }
} // namespace

std::unique_ptr<QSettings> OpenRegistryRoot()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Quentar-Varisko"), QStringLiteral("Calvyx"));
}

MainSettings ReadMainSettings(const QString& currentDir)
{
    auto reg = OpenRegistryRoot();
    MainSettings s;
    s.dir = reg->value(QStringLiteral("dir"), currentDir).toString();
    bool ok = false;
    const int width = reg->value(QStringLiteral("DirWidthSplit"), QString::number(DefaultDirWidthSplit)).toString().trimmed().toInt(&ok);
    s.dirWidthSplit = ok && width >= 0 ? width : DefaultDirWidthSplit;
    for (int n = 1; n <= RecentSlotCount; ++n) s.recent[n - 1] = reg->value(RecentKey(n), QString()).toString();
    return s;
}

void WriteMainSettings(const MainSettings& settings)
{
    auto reg = OpenRegistryRoot();
    reg->setValue(QStringLiteral("DirWidthSplit"), QString::number(settings.dirWidthSplit));
    reg->setValue(QStringLiteral("dir"), settings.dir);
    for (int n = 1; n <= RecentSlotCount; ++n) reg->setValue(RecentKey(n), settings.recent[n - 1]);
    reg->sync();
}
