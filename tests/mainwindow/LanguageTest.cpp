// SPDX-License-Identifier: GPL-3.0-or-later
// The main window in every language: its layout holds (no clipped or overlapping
// control, the menus and the tool bar fit), and every menu command, button and field
// the help book of that language names is one the windows show in that language.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QKeySequence>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocumentFragment>

#include <memory>

#include "mainwindow/ConnectionState.h"
#include "mainwindow/HelpFiles.h"
#include "mainwindow/HelpSystem.h"
#include "mainwindow/ShellView.h"
#include "tests/mainwindow/MainWindowFixture.h"
#include "tests/support/LayoutCheck.h"
#include "windows/AboutDialog.h"
#include "windows/CalculatorSetupDialog.h"
#include "windows/LogWindow.h"
#include "windows/ScreenCaptureWindow.h"
#include "windows/TransferHistory.h"
#include "windows/TransferStatusDialog.h"

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
    text = text.section(u'\t', 0, 0); // without the key shown beside a menu item
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

// The Alt-key a text gives ("&Datei", "文件(&F)": F), 0 for none.
int MnemonicOf(const QString& text)
{
    const QKeySequence key = QKeySequence::mnemonic(text.section(u'\t', 0, 0));
    return key.isEmpty() ? 0 : key[0].key();
}

// The texts of one menu or window that have no key of their own or share one.
QStringList KeyProblems(const QString& where, const QStringList& texts)
{
    QStringList problems;
    QMap<int, QString> taken;
    for (const QString& text : texts) {
        const int key = MnemonicOf(text);
        if (key == 0)
            problems << where + ": \"" + text + "\" has no key";
        else if (taken.contains(key))
            problems << where + ": \"" + taken[key] + "\" and \"" + text + "\" share a key";
        else
            taken[key] = text;
    }
    return problems;
}

QStringList ItemTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator()) texts << action->text();
    return texts;
}

// The buttons, and the labels that lead to a control, of a window.
QStringList ControlTexts(const QWidget* window)
{
    QStringList texts;
    // Not those of a dialog of its own it holds (the capture window's file dialog).
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>())
        if (!button->text().isEmpty() && button->focusPolicy() != Qt::NoFocus && button->window() == window)
            texts << button->text();
    for (const QLabel* label : window->findChildren<QLabel*>())
        if (label->buddy() && label->window() == window) texts << label->text();
    return texts;
}

// Every menu, menu item, button and label that leads to a control has a key, and no two
// of one menu or one window share it, in every language: two items of one key make the
// key only move between them, and a translation clashes where English does not.
TEST_P(MainWindowLanguage, EveryMenuAndWindowHasKeysOfItsOwn)
{
    QDir(folder_.path()).mkdir("sub");
    QFile file(QDir(folder_.path()).filePath("a.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_NO_FATAL_FAILURE(Start());
    window_->pollTimer->stop();
    window_->SetConnState(StateConnected);
    window_->AddToRecent(folder_.path() + "/sub");
    window_->AddToRecent(folder_.path());
    emit window_->connectionMenu->aboutToShow();

    QStringList problems;
    // The main window: the menu bar's titles, the tool bar's label and button, the
    // transfers' button; then every menu.
    QStringList top;
    for (const QAction* menu : window_->menuBar()->actions()) top << menu->text();
    top << window_->connectionLabel->text() << window_->logButton->text() << window_->transfersView->exportButton->text();
    problems << KeyProblems("main window", top);
    for (const QAction* menu : window_->menuBar()->actions())
        problems << KeyProblems(Plain(menu->text()) + " menu", ItemTexts(menu->menu()));
    auto* model = static_cast<QFileSystemModel*>(window_->fileList->model());
    ASSERT_TRUE(WaitFor([&] { return model->index(folder_.path() + "/a.txt").isValid(); }, 5000));
    for (ShellView* view : {window_->folderTree, window_->fileList}) {
        const QModelIndex current = view->currentIndex();
        std::unique_ptr<QMenu> menu(window_->FolderMenu(view, view->visualRect(current).center()));
        problems << KeyProblems(view->objectName() + " menu", ItemTexts(menu.get()));
    }
    problems << KeyProblems("log menu", ItemTexts(window_->Log().contextMenu));

    // The other windows.
    ScreenCaptureWindow capture;
    TransferStatusDialog status;
    status.cancelButton->setVisible(true);
    CalculatorSetupDialog setup;
    problems << KeyProblems("log window", ControlTexts(&window_->Log()));
    problems << KeyProblems("capture window", ControlTexts(&capture));
    problems << KeyProblems("status dialog", ControlTexts(&status));
    problems << KeyProblems("instructions", ControlTexts(&setup));
    problems << KeyProblems("About", ControlTexts(&window_->About()));
    EXPECT_TRUE(problems.isEmpty()) << GetParam() << ":\n" << problems.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(WindowLayout, MainWindowLanguage, ::testing::ValuesIn(LayoutLanguages()),
                         [](const ::testing::TestParamInfo<std::string>& testInfo) { return testInfo.param; });

} // namespace
} // namespace mwtest
