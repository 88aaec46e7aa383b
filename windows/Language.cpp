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
    current.program = LoadTranslator(QStringLiteral(":/i18n/calvyx_%1.qm").arg(language));
    current.qt = LoadTranslator(QStringLiteral(":/i18n/qtbase_%1.qm").arg(language));
    if (!current.program || !current.qt) {
        InstallLanguage(QStringLiteral("en"));
        return false;
    }
    current.language = language;
    return true;
}

QString InstalledLanguage() { return Current().language; }
