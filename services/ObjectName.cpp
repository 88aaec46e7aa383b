// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/ObjectName.h"

namespace {
constexpr int NameLengthOffset = 8; // byte 9 of the object header
constexpr int MaxNameLength = 35;
} // namespace

QString ReceivedObjectName(const QByteArray& object)
{
    QString untitled = QStringLiteral("untitled");
    if (object.size() <= NameLengthOffset + 1) return untitled;
    const int length = static_cast<unsigned char>(object[NameLengthOffset]);
    if (length == 0 || length > MaxNameLength) return untitled;
    QString name = QString::fromLatin1(object.mid(NameLengthOffset + 1, length));
    for (auto& c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 32 || c.unicode() == 127) c = QLatin1Char('_');
    if (name == QLatin1String(".") || name == QLatin1String("..")) return untitled;
    return name;
}
