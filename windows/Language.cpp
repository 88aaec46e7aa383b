// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/Language.h"

#include <memory>

#include <QCoreApplication>
#include <QTranslator>

namespace {

struct Installed {
    QString language = QStringLiteral("en");
    std::unique_ptr<QTranslator> program;
    std::unique_ptr<QTranslator> qt;
};

Installed& Current()
{
    static Installed installed;
    return installed;
}

std::unique_ptr<QTranslator> LoadTranslator(const QString& file)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(file)) return nullptr;
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

// Qt's own texts that Qt's translations lack or get wrong, translated in the program's
// files under Qt's contexts: the type of a folder in the file list and the file dialogs
// (Qt's files have it in a context Qt no longer asks), and the list's Size column (in
// Chinese the word for a volume). Listed here so that the translation tools keep them.
struct QtText {
    const char* source;
    const char* comment;
};
[[maybe_unused]] constexpr QtText QtTexts[] = {
    QT_TRANSLATE_NOOP3("QAbstractFileIconProvider", "Folder", "All other platforms"),
    QT_TRANSLATE_NOOP3("QAbstractFileIconProvider", "Shortcut", "All other platforms"),
    QT_TRANSLATE_NOOP3("QAbstractFileIconProvider", "Drive", ""),
    QT_TRANSLATE_NOOP3("QAbstractFileIconProvider", "Unknown", ""),
    QT_TRANSLATE_NOOP3("QFileSystemModel", "Size", ""),
};

} // namespace

QStringList TranslatedLanguages() { return QString::fromLatin1(CALVYX_LANGUAGES).split(u' '); }

bool InstallLanguage(const QString& language)
{
    Installed& current = Current();
    for (auto* translator : {current.program.get(), current.qt.get()})
        if (translator) QCoreApplication::removeTranslator(translator);
    current.program.reset();
    current.qt.reset();
    current.language = QStringLiteral("en");
    if (language == QLatin1String("en")) return true;
    if (!TranslatedLanguages().contains(language)) return false;
    // The translator installed last is asked first: the program's files, which also
    // correct a few of Qt's own texts (see QtTexts), come after Qt's.
    current.qt = LoadTranslator(QStringLiteral(":/i18n/qtbase_%1.qm").arg(language));
    current.program = LoadTranslator(QStringLiteral(":/i18n/calvyx_%1.qm").arg(language));
    if (!current.program || !current.qt) {
        InstallLanguage(QStringLiteral("en"));
        return false;
    }
    current.language = language;
    return true;
}

QString InstalledLanguage() { return Current().language; }
