// SPDX-License-Identifier: GPL-3.0-or-later
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
    const char* interfaceLanguage;
    const char* locale;
    const char* book;
    const char* language; // of the windows
};

// One rule chooses the help book and the windows' language.
TEST(HelpBookChoice, LanguageTable)
{
    const LanguageCase cases[] = {
        {"nl_NL", "nl_NL", "CalvyxDutch", "nl"},
        {"nl_BE", "nl_BE", "CalvyxDutch", "nl"},
        {"en_US", "en_US", "Calvyx", "en"},
        {"en_GB", "en_GB", "Calvyx", "en"},
        {"fr_FR", "fr_FR", "CalvyxFrench", "fr"},
        {"fr_CA", "fr_CA", "CalvyxFrench", "fr"},
        {"de_DE", "de_DE", "CalvyxGerman", "de"},
        {"de_AT", "de_AT", "CalvyxGerman", "de"},
        {"it_IT", "it_IT", "CalvyxItalian", "it"},
        {"pt_PT", "pt_PT", "CalvyxPortuguese", "pt"},
        {"pt_BR", "pt_BR", "CalvyxPortuguese", "pt"},
        {"es_ES", "es_ES", "CalvyxSpanish", "es"},
        {"zh_CN", "zh_CN", "CalvyxChinese", "zh_CN"},
        {"zh_TW", "zh_TW", "Calvyx", "en"},
        // For Chinese the locale decides, not the interface language's country.
        {"zh_CN", "zh_TW", "Calvyx", "en"},
        {"zh_TW", "zh_CN", "CalvyxChinese", "zh_CN"},
        {"zh_SG", "zh_SG", "Calvyx", "en"},
        {"ja_JP", "ja_JP", "Calvyx", "en"},
        {"C", "C", "Calvyx", "en"},
        // Everywhere else the interface language alone decides.
        {"fr_FR", "en_US", "CalvyxFrench", "fr"},
        {"de_DE", "zh_CN", "CalvyxGerman", "de"},
        {"en_US", "zh_CN", "Calvyx", "en"},
    };
    QStringList chosen;
    for (const auto& c : cases) {
        const UserLanguage choice = ChooseUserLanguage(QLocale(c.interfaceLanguage), QLocale(c.locale));
        EXPECT_EQ(choice.helpBook, c.book) << c.interfaceLanguage << " / " << c.locale;
        EXPECT_EQ(choice.language, c.language) << c.interfaceLanguage << " / " << c.locale;
        chosen << choice.language;
    }
    // Every built-in translation is chosen for some language, and nothing else is.
    for (const QString& language : TranslatedLanguages()) EXPECT_TRUE(chosen.contains(language)) << language.toStdString();
    for (const QString& language : chosen)
        EXPECT_TRUE(language == "en" || TranslatedLanguages().contains(language)) << language.toStdString();
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
    const QUrl english = HelpSystem::BookRoot("Calvyx");
    ASSERT_EQ(english, QUrl("qrc:/help/Calvyx/"));
    const QStringList files = QDir(":/help/Calvyx").entryList(QDir::Files);
    ASSERT_TRUE(files.contains("index.html") && files.contains("cshelp.txt")) << files.join(", ").toStdString();
    const QRegularExpression link(QStringLiteral("href=\"([^\"#]*)(?:#([^\"]*))?\""));
    for (const char* book : {"Calvyx", "CalvyxDutch", "CalvyxFrench", "CalvyxGerman", "CalvyxItalian", "CalvyxPortuguese",
                             "CalvyxSpanish", "CalvyxChinese"}) {
        SCOPED_TRACE(book);
        const QUrl root = HelpSystem::BookRoot(book);
        ASSERT_EQ(root, QUrl(QStringLiteral("qrc:/help/") + book + "/"));
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
    // A name with no book of its own opens the English one.
    EXPECT_EQ(HelpSystem::BookRoot("CalvyxKlingon"), english);
}

TEST(HelpBooks, PopupsComeFromTheChosenLanguage)
{
    const QString previous = ApplicationHelpBook();
    HelpSystem help;
    SetApplicationHelpBook("Calvyx");
    const QString english = help.PopupText(125003);
    ASSERT_FALSE(english.isEmpty());
    SetApplicationHelpBook("CalvyxGerman");
    const QString german = help.PopupText(125003);
    SetApplicationHelpBook(previous);
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
