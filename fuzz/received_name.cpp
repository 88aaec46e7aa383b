// SPDX-License-Identifier: GPL-3.0-or-later
// A received object's header, any bytes: the file name that the receive by wire (main
// window and calvyx-cli) proposes for it. Byte 9 is the name's length, the name follows.
//
// Checks: the name is never empty, never longer than the header allows, holds no
// separator or control character, and a file of that name in a folder stays in that
// folder; when the header names the object, the name is its bytes (cut where the object
// ends), else "untitled".
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QDir>
#include <QString>

#include "fuzz/FuzzCheck.h"
#include "services/ObjectName.h"

namespace {

constexpr std::size_t MaxInput = 256;
constexpr int LengthAt = 8; // byte 9, counted from 1
constexpr int MaxNameLength = 35;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > MaxInput) return 0;
    const QByteArray object(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString name = ReceivedObjectName(object);

    FUZZ_CHECK(!name.isEmpty() && name.size() <= MaxNameLength);
    for (const QChar c : name) {
        FUZZ_CHECK(c != QLatin1Char('/') && c != QLatin1Char('\\'));
        FUZZ_CHECK(c.unicode() >= 32 && c.unicode() != 127);
    }
    FUZZ_CHECK(name != QLatin1String(".") && name != QLatin1String(".."));
    const QString folder = QStringLiteral("/calculator/files");
    const QString path = QDir::cleanPath(folder + QLatin1Char('/') + name);
    FUZZ_CHECK(path.startsWith(folder + QLatin1Char('/')) && path.size() > folder.size() + 1);
    FUZZ_CHECK(!path.mid(folder.size() + 1).contains(QLatin1Char('/')));

    const int length = size > LengthAt ? data[LengthAt] : 0;
    const bool named = object.size() > LengthAt + 1 && length > 0 && length <= MaxNameLength;
    if (!named) {
        FUZZ_CHECK(name == QLatin1String("untitled"));
        return 0;
    }
    const int shown = std::min<int>(length, static_cast<int>(size) - LengthAt - 1);
    QString expected;
    for (int i = 0; i < shown; ++i) {
        const unsigned char b = data[LengthAt + 1 + i];
        const bool kept = b >= 32 && b != 127 && b != '/' && b != '\\';
        expected += kept ? QChar(b) : QLatin1Char('_');
    }
    // A name that is only "." or ".." would be the folder itself or its parent.
    if (expected == QLatin1String(".") || expected == QLatin1String("..")) expected = QStringLiteral("untitled");
    FUZZ_CHECK(name == expected);
    return 0;
}
