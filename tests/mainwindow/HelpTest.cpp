#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTreeView>
#include <QWidget>

#include "mainwindow/HelpContext.h"
#include "mainwindow/HelpFiles.h"
#include "mainwindow/HelpSystem.h"
#include "windows/Language.h"

namespace {

struct LanguageCase {
    uint16_t lang;
    uint32_t lcid;
    const char* file;
    const char* language; // of the windows
};

// One rule chooses the help book and the windows' language.
TEST(HelpFileChoice, LanguageTable)
{
    const LanguageCase cases[] = {
        {0x0413, 0x0413, "CalvyxDutch.chm", "nl"},      {0x0813, 0x0813, "CalvyxDutch.chm", "nl"},
        {0x0409, 0x0409, "Calvyx.chm", "en"},           {0x0809, 0x0809, "Calvyx.chm", "en"},
        {0x040C, 0x040C, "CalvyxFrench.chm", "fr"},     {0x0C0C, 0x0C0C, "CalvyxFrench.chm", "fr"},
        {0x0407, 0x0407, "CalvyxGerman.chm", "de"},     {0x0410, 0x0410, "CalvyxItalian.chm", "it"},
        {0x0816, 0x0816, "CalvyxPortuguese.chm", "pt"}, {0x0416, 0x0416, "CalvyxPortuguese.chm", "pt"},
        {0x0C0A, 0x0C0A, "CalvyxSpanish.chm", "es"},    {0x0804, 0x0804, "CalvyxChinese.chm", "zh_CN"},
        {0x0404, 0x0404, "Calvyx.chm", "en"},           {0x0804, 0x0404, "Calvyx.chm", "en"},
        {0x0404, 0x0804, "CalvyxChinese.chm", "zh_CN"}, {0x0411, 0x0411, "Calvyx.chm", "en"},
        {0x0000, 0x0000, "Calvyx.chm", "en"},           {0xFC0C, 0x0409, "CalvyxFrench.chm", "fr"},
    };
    QStringList chosen;
    for (const auto& c : cases) {
        const UserLanguage choice = ChooseUserLanguage(c.lang, c.lcid);
        EXPECT_EQ(choice.helpFile, c.file) << std::hex << c.lang << " / " << c.lcid;
        EXPECT_EQ(choice.language, c.language) << std::hex << c.lang << " / " << c.lcid;
        EXPECT_EQ(ChooseHelpFile(c.lang, c.lcid), c.file) << std::hex << c.lang << " / " << c.lcid;
        chosen << choice.language;
    }
    // Every built-in translation is chosen for some language, and nothing else is.
    for (const QString& language : TranslatedLanguages()) EXPECT_TRUE(chosen.contains(language)) << language.toStdString();
    for (const QString& language : chosen)
        EXPECT_TRUE(language == "en" || TranslatedLanguages().contains(language)) << language.toStdString();
}

struct LocaleCase {
    const char* locale;
    uint16_t lang;
};

TEST(HelpFileChoice, LocaleNumbers)
{
    const LocaleCase cases[] = {
        {"en_US", 0x0409}, {"en_GB", 0x0809}, {"fr_FR", 0x040C}, {"fr_CA", 0x0C0C}, {"de_DE", 0x0407},
        {"de_AT", 0x0C07}, {"it_IT", 0x0410}, {"nl_NL", 0x0413}, {"nl_BE", 0x0813}, {"pt_BR", 0x0416},
        {"pt_PT", 0x0816}, {"es_ES", 0x0C0A}, {"zh_CN", 0x0804}, {"zh_TW", 0x0404}, {"ja_JP", 0x0411},
    };
    for (const auto& c : cases) EXPECT_EQ(LangIdOfLocale(QLocale(c.locale)), c.lang) << c.locale;
    // Through the whole choice: a Chinese user in the People's Republic gets the Chinese file,
    // one in Taiwan the default.
    EXPECT_EQ(ChooseHelpFile(LangIdOfLocale(QLocale("zh_CN")), LcidOfLocale(QLocale("zh_CN"))), "CalvyxChinese.chm");
    EXPECT_EQ(ChooseHelpFile(LangIdOfLocale(QLocale("zh_TW")), LcidOfLocale(QLocale("zh_TW"))), "Calvyx.chm");
    EXPECT_EQ(ChooseHelpFile(LangIdOfLocale(QLocale("pt_BR")), LcidOfLocale(QLocale("pt_BR"))), "CalvyxPortuguese.chm");
}

QString ReadBookFile(const QUrl& root, const QString& name)
{
    QFile file(QLatin1Char(':') + root.resolved(QUrl(name)).path());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList TopicLines(const QString& cshelp)
{
    QStringList topics;
    for (const QString& line : cshelp.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String(".topic "))) topics << line.trimmed();
    return topics;
}

// Every help file the language table can choose has a built-in book: all the English
// pages, translated, with links that stay inside the book, and the same pop-up topics.
TEST(HelpBooks, EveryLanguageOfTheTableHasAWholeBook)
{
    const QUrl english = HelpSystem::BookRoot("Calvyx.chm");
    ASSERT_EQ(english, QUrl("qrc:/help/Calvyx/"));
    const QStringList files = QDir(":/help/Calvyx").entryList(QDir::Files);
    ASSERT_TRUE(files.contains("index.html") && files.contains("cshelp.txt")) << files.join(", ").toStdString();
    const QRegularExpression link(QStringLiteral("href=\"([^\"#]*)(?:#([^\"]*))?\""));
    for (const char* helpFile : {"Calvyx.chm", "CalvyxDutch.chm", "CalvyxFrench.chm", "CalvyxGerman.chm",
                                 "CalvyxItalian.chm", "CalvyxPortuguese.chm", "CalvyxSpanish.chm", "CalvyxChinese.chm"}) {
        SCOPED_TRACE(helpFile);
        const QString stem = QString::fromLatin1(helpFile).chopped(4);
        const QUrl root = HelpSystem::BookRoot(helpFile);
        ASSERT_EQ(root, QUrl("qrc:/help/" + stem + "/"));
        EXPECT_EQ(QDir(":" + root.path()).entryList(QDir::Files), files);
        for (const QString& page : files) {
            if (!page.endsWith(".html")) continue;
            const QString text = ReadBookFile(root, page);
            if (root != english) {
                EXPECT_NE(text, ReadBookFile(english, page)) << page.toStdString() << " is not translated";
            }
            for (auto it = link.globalMatch(text); it.hasNext();) {
                const auto m = it.next();
                if (m.captured(1).startsWith("http")) continue;
                const QString target = m.captured(1).isEmpty() ? page : m.captured(1);
                EXPECT_TRUE(files.contains(target)) << page.toStdString() << " links to " << target.toStdString();
                if (!m.captured(2).isEmpty()) {
                    EXPECT_TRUE(ReadBookFile(root, target).contains("id=\"" + m.captured(2) + "\""))
                        << page.toStdString() << " links to a missing #" << m.captured(2).toStdString();
                }
            }
        }
        EXPECT_EQ(TopicLines(ReadBookFile(root, "cshelp.txt")), TopicLines(ReadBookFile(english, "cshelp.txt")));
    }
    // A file name with no book of its own opens the English one.
    EXPECT_EQ(HelpSystem::BookRoot("CalvyxKlingon.chm"), english);
}

TEST(HelpBooks, PopupsComeFromTheChosenLanguage)
{
    const QString previous = ApplicationHelpFile();
    HelpSystem help;
    SetApplicationHelpFile("Calvyx.chm");
    const QString english = help.PopupText(125003);
    ASSERT_FALSE(english.isEmpty());
    SetApplicationHelpFile("CalvyxGerman.chm");
    const QString german = help.PopupText(125003);
    SetApplicationHelpFile(previous);
    EXPECT_FALSE(german.isEmpty());
    EXPECT_NE(german, english);
    EXPECT_TRUE(german.contains("QVxT0+")) << german.toStdString();
}

TEST(HelpHints, PassMarksOnlyControlsWithContextAndHint)
{
    QWidget window;
    SetHelpContext(&window, 1);
    SetHint(&window, "main");
    auto* tree = new QTreeView(&window);
    SetHelpContext(tree, 125000);
    SetHint(tree, "Select the directory for T20+ Calcapps");
    auto* status = new QStatusBar(&window);
    SetHelpContext(status, 125002);
    SetHint(status, "Last command");
    auto* popup = new QLabel(&window);
    SetHelpContext(popup, 14999);
    SetHint(popup, "small");
    auto* big = new QLabel(popup); // nested: reached depth first
    SetHelpContext(big, 15000);
    SetHint(big, "large");
    auto* marked = new QLabel(&window);
    SetHelpContext(marked, 7);
    SetHint(marked, "?already");
    auto* noHint = new QLabel(&window);
    SetHelpContext(noHint, 7);

    MarkHelpHints(&window);
    const QString topic = "?* Select the directory for T30s, T20s, T20+ Calcapps";
    EXPECT_EQ(HintOf(&window), "main");
    EXPECT_EQ(HintOf(tree), topic);
    EXPECT_EQ(HintOf(status), topic);
    EXPECT_EQ(status->statusTip(), topic);
    EXPECT_EQ(HintOf(popup), "? small");
    EXPECT_EQ(HintOf(big), topic);
    EXPECT_EQ(HintOf(marked), "?already");
    EXPECT_EQ(HintOf(noHint), "");

    MarkHelpHints(&window); // a second pass changes nothing more
    EXPECT_EQ(HintOf(popup), "? small");
    EXPECT_EQ(HintOf(tree), topic);
}

TEST(HelpContexts, NearestEnclosingContextAndTopicThreshold)
{
    QWidget window;
    SetHelpContext(&window, 1);
    auto* panel = new QWidget(&window);
    auto* inner = new QWidget(panel);
    EXPECT_EQ(NearestHelpContext(inner), 1);
    SetHelpContext(panel, 125000);
    EXPECT_EQ(NearestHelpContext(inner), 125000);
    EXPECT_TRUE(IsTopicContext(125000));
    EXPECT_TRUE(IsTopicContext(125002));
    EXPECT_TRUE(IsTopicContext(15000));
    EXPECT_FALSE(IsTopicContext(14999));
    EXPECT_FALSE(IsTopicContext(7));
}

} // namespace
