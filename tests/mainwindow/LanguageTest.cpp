// SPDX-License-Identifier: GPL-3.0-or-later
// The main window in every language: its layout holds (no clipped or overlapping
// control, the menus and the tool bar fit), and every menu command, button and field
// the help book of that language names is one the windows show in that language.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocumentFragment>

#include "mainwindow/HelpFiles.h"
#include "mainwindow/HelpSystem.h"
#include "mainwindow/ShellView.h"
#include "tests/mainwindow/MainWindowFixture.h"
#include "tests/support/LayoutCheck.h"
#include "windows/ScreenCaptureWindow.h"

namespace mwtest {
namespace {

class MainWindowLanguage : public MainWindowTest, public ::testing::WithParamInterface<std::string> {
protected:
    // The language comes through the rule the program starts with, from the locale: the
    // help book and the windows' translation together.
    void SetUp() override
    {
        MainWindowTest::SetUp();
        const QLocale locale(QString::fromStdString(GetParam()));
        const UserLanguage choice = StartInLanguage(locale, locale);
        ASSERT_EQ(choice.language.toStdString(), GetParam());
        // What else follows the user's locale (the file types' names) as well.
        QLocale::setDefault(locale);
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        StartInLanguage(QLocale("en_US"), QLocale("en_US"));
        QLocale::setDefault(QLocale::system());
    }

    void CheckAndShoot(const QString& name)
    {
        const QStringList problems = LayoutProblems(window_.get());
        EXPECT_TRUE(problems.isEmpty()) << name.toStdString() << " in " << GetParam() << ": "
                                        << problems.join("; ").toStdString();
        if (const QString file = ScreenshotPath(name, QString::fromStdString(GetParam())); !file.isEmpty()) {
            EXPECT_TRUE(window_->grab().save(file)) << file.toStdString();
        }
    }
};

TEST_P(MainWindowLanguage, LayoutHoldsDisconnectedAndConnected)
{
    // A few files for the list to show with their sizes and types.
    for (const auto& [name, size] : {std::pair{"GRAPHS.CA", 4096}, std::pair{"NOTES.TXT", 1200}, std::pair{"GAME.QVA", 40070}}) {
        QFile file(QDir(folder_.path()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(size, 'x'));
    }
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitFor([this] { return window_->ConnState() == StateDisconnected; }, 5000));
    CheckAndShoot("main-window-disconnected");
    Device(true);
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    // The log button too (it shows once "log" is typed).
    window_->logButtonAction->setVisible(true);
    ASSERT_TRUE(WaitFor([this] { return window_->logButton->isVisible(); }, 5000));
    // The file list fills in from the file system model's thread: wait until it shows
    // every file with its size and type.
    const auto listed = [this] {
        const auto* model = window_->fileList->model();
        const QModelIndex root = window_->fileList->rootIndex();
        int shown = 0;
        for (int row = 0; row < model->rowCount(root); ++row) {
            const QString name = model->index(row, 0, root).data().toString();
            if (name != "GRAPHS.CA" && name != "NOTES.TXT" && name != "GAME.QVA") continue;
            for (int column = 1; column < 3; ++column)
                if (model->index(row, column, root).data().toString().isEmpty()) return false;
            ++shown;
        }
        return shown == 3;
    };
    ASSERT_TRUE(WaitFor(listed, 10000)) << "the file list did not show the three files with their sizes and types";
    CheckAndShoot("main-window-connected");
}

// What a book calls a control, and what the windows show: without the mnemonic mark
// ("&Datei", "文件(&F)") and the closing colon ("Verbinden über:").
QString Plain(QString text)
{
    static const QRegularExpression mnemonic(QStringLiteral("\\(&.\\)"));
    text.remove(mnemonic).remove(u'&');
    while (!text.isEmpty() && (text.back().isSpace() || text.back() == u':' || text.back() == u'：')) text.chop(1);
    return text.trimmed();
}

TEST_P(MainWindowLanguage, HelpBookNamesTheCommandsTheWindowsShow)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    // "Menu > Command" for every command of the menu bar, and every label and button text.
    QStringList shown;
    for (QAction* top : window_->menuBar()->actions()) {
        if (!top->menu()) continue;
        for (QAction* item : top->menu()->actions())
            if (!item->isSeparator()) shown << Plain(top->text()) + " > " + Plain(item->text());
    }
    ScreenCaptureWindow capture;
    for (QWidget* root : {static_cast<QWidget*>(window_.get()), static_cast<QWidget*>(&capture)}) {
        for (const QLabel* label : root->findChildren<QLabel*>()) shown << Plain(label->text());
        for (const QAbstractButton* button : root->findChildren<QAbstractButton*>()) shown << Plain(button->text());
    }

    const QUrl book = HelpSystem::BookRoot(ApplicationHelpBook());
    const QString folder = QStringLiteral(":") + book.path();
    static const QRegularExpression ui(QStringLiteral("<span class=\"ui\">(.*?)</span>"));
    int named = 0;
    for (const QString& page : QDir(folder).entryList({QStringLiteral("*.html")})) {
        QFile file(QDir(folder).filePath(page));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        const QString text = QString::fromUtf8(file.readAll());
        for (auto it = ui.globalMatch(text); it.hasNext(); ++named) {
            const QString name = Plain(QTextDocumentFragment::fromHtml(it.next().captured(1)).toPlainText());
            EXPECT_TRUE(shown.contains(name)) << ApplicationHelpBook().toStdString() << " " << page.toStdString() << " names \""
                                              << name.toStdString() << "\", which no window shows";
        }
    }
    EXPECT_GE(named, 10) << folder.toStdString();
}

INSTANTIATE_TEST_SUITE_P(WindowLayout, MainWindowLanguage, ::testing::ValuesIn(LayoutLanguages()),
                         [](const ::testing::TestParamInfo<std::string>& testInfo) { return testInfo.param; });

} // namespace
} // namespace mwtest
