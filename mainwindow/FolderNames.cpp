#include "mainwindow/FolderNames.h"

#include <QFileInfo>

#include "util/StringTable.h"

namespace {
constexpr int NameLengthOffset = 8; // byte 9 of the object header
constexpr int MaxNameLength = 35;
} // namespace

QString NextNewFolderPath(const QString& parent)
{
    QString base = parent;
    while (base.endsWith(QLatin1Char('/'))) base.chop(1);
    if (parent.isEmpty()) return {};
    const QString stem = QString::fromUtf8(Str::NewFolder);
    QString name = stem;
    for (int n = 2; QFileInfo::exists(base + QLatin1Char('/') + name); ++n)
        name = stem + QStringLiteral(" (%1)").arg(n);
    return base + QLatin1Char('/') + name;
}

QString ReceivedObjectName(const QByteArray& object)
{
    const QString untitled = QStringLiteral("untitled");
    if (object.size() <= NameLengthOffset + 1) return untitled;
    const int length = static_cast<unsigned char>(object[NameLengthOffset]);
    if (length == 0 || length > MaxNameLength) return untitled;
    QString name = QString::fromLatin1(object.mid(NameLengthOffset + 1, length));
    for (auto& c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 32 || c.unicode() == 127) c = QLatin1Char('_');
    if (name == QLatin1String(".") || name == QLatin1String("..")) return untitled;
    return name;
}
