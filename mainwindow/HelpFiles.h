#pragma once
// Which help file the user's interface language gets, and the language numbers the
// choice is made on (the 16-bit language identifier and the 32-bit locale identifier
// of the Windows world, which the help files are named after).
#include <cstdint>

#include <QLocale>
#include <QString>

inline constexpr const char* DefaultHelpFile = "Calvyx.chm";

// What a user's language gets: the help book and the language of the windows (a
// language of TranslatedLanguages(), or "en"). One rule chooses both, so the menus and
// buttons the book names are the ones the windows show.
struct UserLanguage {
    QString helpFile; // "CalvyxGerman.chm"
    QString language; // "de"
};

// The choice for a language identifier (only its low 10 bits, the primary language,
// count) and, for Chinese, the locale identifier (the PRC alone gets the Chinese book).
UserLanguage ChooseUserLanguage(uint16_t langId, uint32_t lcid);
// The help file name of that choice.
QString ChooseHelpFile(uint16_t langId, uint32_t lcid);

// Chooses the help book and the windows' language for langId and lcid, sets the help
// file and installs the translations (before the windows are made). Returns the choice.
UserLanguage StartInLanguage(uint16_t langId, uint32_t lcid);

// The language identifier of a locale: primary language in the low 10 bits, the
// sub-language (country variant) above. Unknown languages give 0 (neutral).
uint16_t LangIdOfLocale(const QLocale& locale);
// The locale identifier of a locale (default sort order: the same number).
uint32_t LcidOfLocale(const QLocale& locale);

// The user's interface language and locale, as the platform reports them.
uint16_t UserDefaultLangId();
uint32_t UserDefaultLcid();

// The program's help file name (a bare name), chosen at start-up; "Calvyx.chm" until then.
QString ApplicationHelpFile();
void SetApplicationHelpFile(const QString& name);
