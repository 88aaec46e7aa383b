// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which help book and window language the user's language gets.
#include <QLocale>
#include <QString>

// The English book; the others are named after it with their language ("CalvyxGerman").
inline constexpr const char* DefaultHelpBook = "Calvyx";

// What a user's language gets: the help book and the language of the windows (a
// language of TranslatedLanguages(), or "en"). One rule chooses both, so the menus and
// buttons the book names are the ones the windows show.
struct UserLanguage {
    QString helpBook; // "CalvyxGerman"
    QString language; // "de"
};

// The choice for the user's interface language; a Chinese interface gets the Chinese
// book and windows only where the locale is the People's Republic's (the country variant
// of the interface language itself does not count).
UserLanguage ChooseUserLanguage(const QLocale& interfaceLanguage, const QLocale& locale);

// Chooses the help book and the windows' language, sets the help book and installs the
// translations (before the windows are made). Returns the choice.
UserLanguage StartInLanguage(const QLocale& interfaceLanguage, const QLocale& locale);

// The user's interface language: the first of the preferred languages the platform
// reports, else the system locale.
QLocale UserInterfaceLanguage();

// The program's help book, chosen at start-up; "Calvyx" until then.
QString ApplicationHelpBook();
void SetApplicationHelpBook(const QString& name);
