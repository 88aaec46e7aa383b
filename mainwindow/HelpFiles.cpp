#include "mainwindow/HelpFiles.h"

#include <QStringList>

#include "windows/Language.h"

namespace {

constexpr uint16_t LangMask = 0x3FF;
constexpr uint32_t LocaleChinesePrc = 0x0804;

// The help book and the windows' language of each primary language that has both.
struct LanguageChoiceRow {
    uint16_t primary;
    const char* helpFile;
    const char* language;
};
constexpr LanguageChoiceRow ChoiceRows[] = {
    {0x13, "CalvyxDutch.chm", "nl"},   {0x09, "Calvyx.chm", "en"},           {0x0C, "CalvyxFrench.chm", "fr"},
    {0x07, "CalvyxGerman.chm", "de"},  {0x10, "CalvyxItalian.chm", "it"},    {0x16, "CalvyxPortuguese.chm", "pt"},
    {0x0A, "CalvyxSpanish.chm", "es"},
};
constexpr uint16_t PrimaryChinese = 0x04;

struct LanguageRow {
    QLocale::Language language;
    uint16_t primary;
};
constexpr LanguageRow LanguageRows[] = {
    {QLocale::Chinese, 0x04},  {QLocale::German, 0x07},     {QLocale::English, 0x09},
    {QLocale::Spanish, 0x0A},  {QLocale::French, 0x0C},     {QLocale::Italian, 0x10},
    {QLocale::Japanese, 0x11}, {QLocale::Korean, 0x12},     {QLocale::Dutch, 0x13},
    {QLocale::Portuguese, 0x16}, {QLocale::Russian, 0x19},  {QLocale::Swedish, 0x1D},
    {QLocale::Polish, 0x15},   {QLocale::Danish, 0x06},     {QLocale::Finnish, 0x0B},
    {QLocale::Greek, 0x08},    {QLocale::Turkish, 0x1F},    {QLocale::Czech, 0x05},
    {QLocale::Hungarian, 0x0E}, {QLocale::NorwegianBokmal, 0x14}, {QLocale::Arabic, 0x01},
    {QLocale::Hebrew, 0x0D},
};

// Sub-languages other than the default (1) for the countries the help files care about.
struct VariantRow {
    QLocale::Language language;
    QLocale::Territory territory;
    uint16_t sub;
};
constexpr VariantRow VariantRows[] = {
    {QLocale::Chinese, QLocale::Taiwan, 1},       {QLocale::Chinese, QLocale::China, 2},
    {QLocale::Chinese, QLocale::HongKong, 3},     {QLocale::Chinese, QLocale::Singapore, 4},
    {QLocale::Chinese, QLocale::Macao, 5},        {QLocale::English, QLocale::UnitedKingdom, 2},
    {QLocale::English, QLocale::Australia, 3},    {QLocale::English, QLocale::Canada, 4},
    {QLocale::English, QLocale::NewZealand, 5},   {QLocale::English, QLocale::Ireland, 6},
    {QLocale::French, QLocale::Belgium, 2},       {QLocale::French, QLocale::Canada, 3},
    {QLocale::French, QLocale::Switzerland, 4},   {QLocale::French, QLocale::Luxembourg, 5},
    {QLocale::German, QLocale::Switzerland, 2},   {QLocale::German, QLocale::Austria, 3},
    {QLocale::German, QLocale::Luxembourg, 4},    {QLocale::Italian, QLocale::Switzerland, 2},
    {QLocale::Dutch, QLocale::Belgium, 2},        {QLocale::Portuguese, QLocale::Brazil, 1},
    {QLocale::Portuguese, QLocale::Portugal, 2},  {QLocale::Spanish, QLocale::Mexico, 2},
    {QLocale::Spanish, QLocale::Spain, 3},        {QLocale::Spanish, QLocale::Argentina, 11},
};

QString& HelpFileName()
{
    static QString name = QString::fromLatin1(DefaultHelpFile);
    return name;
}

} // namespace

UserLanguage ChooseUserLanguage(uint16_t langId, uint32_t lcid)
{
    const uint16_t primary = langId & LangMask;
    UserLanguage choice{QString::fromLatin1(DefaultHelpFile), QStringLiteral("en")};
    for (const auto& row : ChoiceRows)
        if (row.primary == primary) choice = {QString::fromLatin1(row.helpFile), QString::fromLatin1(row.language)};
    if (primary == PrimaryChinese && lcid == LocaleChinesePrc) choice = {QStringLiteral("CalvyxChinese.chm"), QStringLiteral("zh_CN")};
    return choice;
}

QString ChooseHelpFile(uint16_t langId, uint32_t lcid) { return ChooseUserLanguage(langId, lcid).helpFile; }

uint16_t LangIdOfLocale(const QLocale& locale)
{
    uint16_t primary = 0;
    for (const auto& row : LanguageRows)
        if (row.language == locale.language()) primary = row.primary;
    if (primary == 0) return 0;
    uint16_t sub = 1;
    for (const auto& row : VariantRows)
        if (row.language == locale.language() && row.territory == locale.territory()) sub = row.sub;
    return static_cast<uint16_t>((sub << 10) | primary);
}

uint32_t LcidOfLocale(const QLocale& locale) { return LangIdOfLocale(locale); }

uint16_t UserDefaultLangId()
{
    // The interface language: the first of the user's preferred languages.
    const QStringList ui = QLocale::system().uiLanguages();
    return LangIdOfLocale(ui.isEmpty() ? QLocale::system() : QLocale(ui.first()));
}

uint32_t UserDefaultLcid() { return LcidOfLocale(QLocale::system()); }

QString ApplicationHelpFile() { return HelpFileName(); }
void SetApplicationHelpFile(const QString& name) { HelpFileName() = name; }

UserLanguage StartInLanguage(uint16_t langId, uint32_t lcid)
{
    const UserLanguage choice = ChooseUserLanguage(langId, lcid);
    SetApplicationHelpFile(choice.helpFile);
    InstallLanguage(choice.language);
    return choice;
}
