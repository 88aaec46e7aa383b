// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPalette>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
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

// The help window opens inside the screen, comes back inside (and fits) when help is
// asked for again after it was moved off or made too big, and Escape closes it.
TEST(HelpWindow, StaysInsideTheScreenAndEscapeClosesIt)
{
    Help().ShowContents();
    QPointer<QTextBrowser> window = Help().Window();
    ASSERT_TRUE(window);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const QRect available = window->screen()->availableGeometry();
    const auto inside = [&] { return available.contains(window->frameGeometry()); };
    const auto where = [&] {
        const QRect r = window->frameGeometry();
        return QString("%1,%2 %3x%4 in %5x%6")
            .arg(r.x())
            .arg(r.y())
            .arg(r.width())
            .arg(r.height())
            .arg(available.width())
            .arg(available.height())
            .toStdString();
    };
    EXPECT_TRUE(inside()) << where();
    struct Case {
        const char* what;
        std::function<void()> spoil;
    };
    const Case cases[] = {
        {"moved off to the bottom right", [&] { window->move(available.right() - 100, available.bottom() - 100); }},
        {"moved off to the top left", [&] { window->move(available.left() - 300, available.top() - 200); }},
        {"made bigger than the screen", [&] { window->resize(available.size() + QSize(300, 300)); }},
    };
    for (const Case& c : cases) {
        c.spoil();
        Help().ShowTopic(HelpContextFolders);
        EXPECT_TRUE(inside()) << c.what << ": " << where();
    }
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull() || !window->isVisible(); }, 2000)) << "Escape left the help open";
}

// The books name no colours (a dark palette made their headings and code unreadable);
// the help window takes them from the palette, and a link colour that would vanish on
// the palette's background is made to stand out.
TEST(HelpWindow, ColoursComeFromThePalette)
{
    const QDir books(QStringLiteral(CALVYX_SOURCE_DIR "/mainwindow/help"));
    QStringList sheets{books.filePath("style.css")};
    for (const QString& book : books.entryList({"Calvyx*"}, QDir::Dirs)) sheets << books.filePath(book + "/style.css");
    EXPECT_EQ(sheets.size(), 8);
    for (const QString& sheet : sheets) {
        QFile file(sheet);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << sheet.toStdString();
        const QString css = QString::fromUtf8(file.readAll());
        EXPECT_FALSE(css.contains("color") || css.contains("background")) << sheet.toStdString() << " names a colour";
    }

    struct Case {
        const char* what;
        QColor base, text, link;
        bool linkKept;
    };
    const Case cases[] = {
        {"light palette", QColor(255, 255, 255), QColor(0, 0, 0), QColor(0, 0, 255), true},
        {"dark palette with a link for it", QColor(35, 38, 41), QColor(239, 240, 241), QColor(41, 128, 185), false},
        {"dark palette with a light palette's blue", QColor(30, 30, 30), QColor(230, 230, 230), QColor(0, 0, 255), false},
        {"dark palette with a dark red", QColor(20, 20, 20), QColor(255, 255, 255), QColor(128, 0, 0), false},
    };
    static const QRegularExpression linkRule(QStringLiteral("a \\{ color: (#[0-9a-f]{6}); \\}"));
    for (const Case& c : cases) {
        QPalette palette;
        palette.setColor(QPalette::Base, c.base);
        palette.setColor(QPalette::Text, c.text);
        palette.setColor(QPalette::Link, c.link);
        const QString css = HelpSystem::PaletteStyleSheet(palette);
        const QRegularExpressionMatch match = linkRule.match(css);
        ASSERT_TRUE(match.hasMatch()) << css.toStdString();
        const QColor shown(match.captured(1));
        EXPECT_GE(HelpSystem::Contrast(shown, c.base), HelpSystem::MinLinkContrast) << c.what << ": " << css.toStdString();
        if (c.linkKept) {
            EXPECT_EQ(shown, c.link) << c.what;
        }
    }
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
