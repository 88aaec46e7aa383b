#include "windows/CoreTexts.h"

#include <QCoreApplication>
#include <QStringList>

#include "util/StringTable.h"

namespace {

// How a status text is put together from its English part, and its translatable form
// (%1: the name or number the part goes with).
enum class Place { Whole, Prefix, NumberSuffix };
struct CoreText {
    const char* english; // as the core composes it
    Place place;
    const char* form;
};
constexpr CoreText CoreTexts[] = {
    {Str::Receiving, Place::Prefix, QT_TRANSLATE_NOOP("TransferTexts", "Receiving %1")},
    {Str::Sending, Place::Prefix, QT_TRANSLATE_NOOP("TransferTexts", "Sending %1")},
    {Str::Copying, Place::Prefix, QT_TRANSLATE_NOOP("TransferTexts", "Copying %1")},
    {Str::BytesPerSec, Place::NumberSuffix, QT_TRANSLATE_NOOP("TransferTexts", "%1 bytes/s")},
    {Str::Bytes, Place::NumberSuffix, QT_TRANSLATE_NOOP("TransferTexts", "%1 bytes")},
    {Str::KBytesPerSec, Place::NumberSuffix, QT_TRANSLATE_NOOP("TransferTexts", "%1 Kbytes/s")},
    {Str::KBytes, Place::NumberSuffix, QT_TRANSLATE_NOOP("TransferTexts", "%1 Kbytes")},
    {Str::ConnectingDots, Place::Whole, QT_TRANSLATE_NOOP("TransferTexts", "Connecting ...")},
    {Str::NotReady, Place::Whole, QT_TRANSLATE_NOOP("TransferTexts", "T30s,T20s,T20+,T20 is not ready")},
};

// A count ("2048", "2048/4096"): what a byte unit follows in the progress texts.
bool IsCount(const QString& text)
{
    if (text.isEmpty()) return false;
    for (const QChar c : text)
        if (!c.isDigit() && c != u'/') return false;
    return true;
}

QString Form(const CoreText& row, const QString& part)
{
    return QCoreApplication::translate("TransferTexts", row.form).arg(part);
}

QString ShownLine(const QString& line)
{
    for (const CoreText& row : CoreTexts) {
        const QString english = QString::fromUtf8(row.english);
        switch (row.place) {
        case Place::Whole:
            if (line == english) return QCoreApplication::translate("TransferTexts", row.form);
            break;
        case Place::Prefix:
            if (line.startsWith(english) && line.size() > english.size()) return Form(row, line.mid(english.size()));
            break;
        case Place::NumberSuffix:
            if (line.endsWith(english) && IsCount(line.chopped(english.size()))) return Form(row, line.chopped(english.size()));
            break;
        }
    }
    return line;
}

} // namespace

QString ShownCoreText(const std::string& text)
{
    // Progress texts are lines joined by CR LF; each line is one status text.
    QStringList lines = QString::fromStdString(text).split(QStringLiteral("\r\n"));
    for (QString& line : lines) line = ShownLine(line);
    return lines.join(QStringLiteral("\r\n"));
}
