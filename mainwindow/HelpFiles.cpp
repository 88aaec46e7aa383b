// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/HelpFiles.h"

#include <QStringList>

#include "windows/Language.h"

namespace {

// The help book and the windows' language of each language that has both.
struct LanguageChoiceRow {
    QLocale::Language language;
    const char* helpBook;
    const char* windows;
};
constexpr LanguageChoiceRow ChoiceRows[] = {
    {QLocale::Dutch, "CalvyxDutch", "nl"},     {QLocale::English, "Calvyx", "en"},
    {QLocale::French, "CalvyxFrench", "fr"},   {QLocale::German, "CalvyxGerman", "de"},
    {QLocale::Italian, "CalvyxItalian", "it"}, {QLocale::Portuguese, "CalvyxPortuguese", "pt"},
    {QLocale::Spanish, "CalvyxSpanish", "es"},
};

QString& HelpBookName()
{
    static QString name = QString::fromLatin1(DefaultHelpBook);
    return name;
}

} // namespace

UserLanguage ChooseUserLanguage(const QLocale& interfaceLanguage, const QLocale& locale)
{
    UserLanguage choice{QString::fromLatin1(DefaultHelpBook), QStringLiteral("en")};
    for (const auto& row : ChoiceRows)
        if (row.language == interfaceLanguage.language())
            choice = {QString::fromLatin1(row.helpBook), QString::fromLatin1(row.windows)};
    if (interfaceLanguage.language() == QLocale::Chinese && locale.language() == QLocale::Chinese &&
        locale.territory() == QLocale::China)
        choice = {QStringLiteral("CalvyxChinese"), QStringLiteral("zh_CN")};
    return choice;
}

QLocale UserInterfaceLanguage()
{
    const QStringList ui = QLocale::system().uiLanguages();
    return ui.isEmpty() ? QLocale::system() : QLocale(ui.first());
}

QString ApplicationHelpBook() { return HelpBookName(); }
void SetApplicationHelpBook(const QString& name) { HelpBookName() = name; }

UserLanguage StartInLanguage(const QLocale& interfaceLanguage, const QLocale& locale)
{
    const UserLanguage choice = ChooseUserLanguage(interfaceLanguage, locale);
    SetApplicationHelpBook(choice.helpBook);
    InstallLanguage(choice.language);
    return choice;
}
