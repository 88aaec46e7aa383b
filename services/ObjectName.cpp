// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/ObjectName.h"

#include <string_view>

namespace {
constexpr int NameLengthOffset = 8; // byte 9 of the object header
constexpr int MaxNameLength = 35;
constexpr std::string_view Signature = "QVCALC";
constexpr std::size_t FlagsOffset = 7; // byte 8
constexpr unsigned SizedFlag = 0x01;
constexpr std::size_t LengthBytes = 4;
} // namespace

std::optional<QString> HeaderObjectName(const QByteArray& object)
{
    if (object.size() <= NameLengthOffset + 1) return std::nullopt;
    const int length = static_cast<unsigned char>(object[NameLengthOffset]);
    if (length == 0 || length > MaxNameLength) return std::nullopt;
    QString name = QString::fromLatin1(object.mid(NameLengthOffset + 1, length));
    for (auto& c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 32 || c.unicode() == 127) c = QLatin1Char('_');
    if (name == QLatin1String(".") || name == QLatin1String("..")) return std::nullopt;
    return name;
}

QString ReceivedObjectName(const QByteArray& object) { return HeaderObjectName(object).value_or(QStringLiteral("untitled")); }

std::optional<std::size_t> DeclaredObjectLength(const ByteString& object)
{
    if (object.size() <= NameLengthOffset || object.compare(0, Signature.size(), Signature) != 0) return std::nullopt;
    if ((static_cast<unsigned char>(object[FlagsOffset]) & SizedFlag) == 0) return std::nullopt;
    const std::size_t nameLength = static_cast<unsigned char>(object[NameLengthOffset]);
    const std::size_t at = NameLengthOffset + 1 + nameLength;
    if (object.size() < at + LengthBytes) return std::nullopt;
    std::size_t length = 0;
    for (std::size_t i = LengthBytes; i-- > 0;) length = (length << 8) | static_cast<unsigned char>(object[at + i]);
    return length;
}

std::size_t ReceivedObjectEnd(const ByteString& received, std::size_t lastBlockData)
{
    const auto declared = DeclaredObjectLength(received);
    if (!declared || lastBlockData == 0 || lastBlockData > received.size()) return received.size();
    // The header itself is part of the object: a length shorter than it is no length.
    const std::size_t header = NameLengthOffset + 1 + static_cast<unsigned char>(received[NameLengthOffset]) + LengthBytes;
    if (*declared < header || *declared > received.size() || *declared <= received.size() - lastBlockData) return received.size();
    return *declared;
}
