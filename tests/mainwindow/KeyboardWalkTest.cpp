// SPDX-License-Identifier: GPL-3.0-or-later
// The main window without a mouse: Tab reaches every pane and leaves it again (forwards
// and backwards), and the Alt-keys, the menus' own keys, F10, Shift+F10 and the Menu key
// open what they name.
#include <functional>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileSystemModel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "mainwindow/ConnectionState.h"
#include "mainwindow/HelpSystem.h"
#include "tests/mainwindow/MainWindowFixture.h"
#include "windows/LogWindow.h"
#include "windows/TransferHistory.h"

namespace mwtest {
namespace {

class KeyboardWalk : public MainWindowTest {
protected:
    // Connected on the test folder, which holds a folder "sub" and a file "a.txt", the
    // window active and the keyboard in the folder tree.
    void StartConnected()
    {
        ASSERT_TRUE(QDir(folder_.path()).mkdir("sub"));
        QFile file(folder_.path() + "/a.txt");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("abc");
        file.close();
        ASSERT_NO_FATAL_FAILURE(Start());
        window_->pollTimer->stop(); // no link here: the state stays what the test sets
        window_->SetConnState(StateConnected);
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        auto* model = static_cast<QFileSystemModel*>(window_->fileList->model());
        ASSERT_TRUE(WaitFor([&] { return model->index(folder_.path() + "/a.txt").isValid(); }, 5000));
        window_->folderTree->setFocus(Qt::TabFocusReason);
    }
    static QString Focused()
    {
        const QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QStringLiteral("(none)");
    }
    // The focused control's name after each of steps presses of key, the first before.
    static QStringList Walk(Qt::Key key, int steps)
    {
        QStringList walk{Focused()};
        for (int i = 0; i < steps && QApplication::focusWidget(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), key);
            walk << Focused();
        }
        return walk;
    }
    // The name of the pop-up menu that keys open (exec() of a context menu included),
    // closed again; empty when none opened.
    static QString PopupOpenedBy(const std::function<void()>& keys)
    {
        QString seen;
        QTimer probe;
        probe.setInterval(20);
        QObject::connect(&probe, &QTimer::timeout, [&seen] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                seen = popup->objectName();
                popup->close();
            }
        });
        probe.start();
        keys();
        // A menu that keys only popped up (the menu bar's) is seen at the next tick.
        (void)QTest::qWaitFor([&seen] { return !seen.isEmpty(); }, 300);
        return seen;
    }
};

TEST_F(KeyboardWalk, TabReachesAndLeavesEveryPane)
{
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    // The folder tree and the file list: Tab goes from one to the other and back (it used
    // to stay in the list, walking its items).
    EXPECT_EQ(Walk(Qt::Key_Tab, 4), QStringList({"folderTree", "fileList", "folderTree", "fileList", "folderTree"}));
    EXPECT_EQ(Walk(Qt::Key_Backtab, 2), QStringList({"folderTree", "fileList", "folderTree"}));

    // With the transfers shown (Ctrl+T, from the keyboard too), their table and button
    // join the round, and it still comes back to the tree.
    QTest::keyClick(window_.get(), Qt::Key_T, Qt::ControlModifier);
    ASSERT_TRUE(window_->transfersDock->isVisible()) << "Ctrl+T did not show the transfers";
    window_->folderTree->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(Walk(Qt::Key_Tab, 4), QStringList({"folderTree", "fileList", "transferTable", "exportButton", "folderTree"}));
    EXPECT_EQ(Walk(Qt::Key_Backtab, 4), QStringList({"folderTree", "exportButton", "transferTable", "fileList", "folderTree"}));

    // The list keeps its own keys: Down moves its current item, typing renames nothing.
    window_->fileList->setFocus(Qt::TabFocusReason);
    const QModelIndex before = window_->fileList->currentIndex();
    QTest::keyClick(window_->fileList, Qt::Key_Down);
    EXPECT_NE(window_->fileList->currentIndex(), before);
    EXPECT_EQ(Focused(), "fileList");
}

TEST_F(KeyboardWalk, AltKeysAndMenuKeysOpenWhatTheyName)
{
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    QWidget* window = window_.get();
    auto alt = [window](Qt::Key key) { QTest::keyClick(window, key, Qt::AltModifier); };
    // Opens a menu of the menu bar by its Alt-key and presses an item's key in it.
    auto item = [alt](Qt::Key menuKey, Qt::Key itemKey) {
        return [alt, menuKey, itemKey] {
            alt(menuKey);
            if (QWidget* menu = QApplication::activePopupWidget()) QTest::keyClick(menu, itemKey);
        };
    };
    // Keys that open a menu: the menu bar's by their Alt-keys, the views' by Shift+F10
    // and the Menu key.
    struct MenuCase {
        const char* what;
        std::function<void()> keys;
        const char* menu;
    };
    const MenuCase menus[] = {
        {"Alt+F", [alt] { alt(Qt::Key_F); }, "fileMenu"},
        {"Alt+R", [alt] { alt(Qt::Key_R); }, "romMenu"},
        {"Alt+C", [alt] { alt(Qt::Key_C); }, "connectionMenu"},
        {"Alt+V", [alt] { alt(Qt::Key_V); }, "viewMenu"},
        {"Alt+H", [alt] { alt(Qt::Key_H); }, "helpMenu"},
        {"Shift+F10 in the tree", [this] { QTest::keyClick(window_->folderTree, Qt::Key_F10, Qt::ShiftModifier); }, "folderMenu"},
        {"the Menu key in the tree", [this] { QTest::keyClick(window_->folderTree, Qt::Key_Menu); }, "folderMenu"},
        {"Shift+F10 in the list", [this] { QTest::keyClick(window_->fileList, Qt::Key_F10, Qt::ShiftModifier); }, "folderMenu"},
    };
    for (const MenuCase& c : menus) {
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window)) << c.what;
        EXPECT_EQ(PopupOpenedBy(c.keys).toStdString(), c.menu) << c.what;
        // The menu bar leaves its keyboard mode.
        window_->menuBar()->setActiveAction(nullptr);
        QTest::keyClick(window, Qt::Key_Escape);
    }

    // Keys that open a window or reach a control.
    struct Case {
        const char* what;
        std::function<void()> keys;
        std::function<bool()> opened;
        std::function<void()> undo;
    };
    const Case cases[] = {
        {"F10: the menu bar at File", [window] { QTest::keyClick(window, Qt::Key_F10); },
         [this] { return window_->menuBar()->activeAction() == window_->menuBar()->actions().first(); },
         [this] {
             if (QMenu* open = window_->menuBar()->activeAction()->menu()) open->close();
             window_->menuBar()->setActiveAction(nullptr);
         }},
        {"Alt+U: the connection box", [alt] { alt(Qt::Key_U); }, [this] { return window_->connectionBox->hasFocus(); },
         [this] { window_->folderTree->setFocus(); }},
        {"Alt+V, T: the transfers", item(Qt::Key_V, Qt::Key_T), [this] { return window_->transfersDock->isVisible(); },
         [this] { window_->transfersDock->hide(); }},
        {"Alt+V, L: the log", item(Qt::Key_V, Qt::Key_L), [this] { return window_->Log().isVisible(); },
         [this] { window_->Log().close(); }},
        {"Alt+H, C: the help's contents", item(Qt::Key_H, Qt::Key_C),
         [] { return Help().Window() && Help().Window()->isVisible(); },
         [] {
             if (Help().Window()) Help().Window()->close();
         }},
        {"Alt+F, N: a new folder, its name being edited", item(Qt::Key_F, Qt::Key_N),
         [this] { return window_->folderTree->Editing(); }, [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); }},
    };
    for (const Case& c : cases) {
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window)) << c.what;
        c.keys();
        EXPECT_TRUE(WaitFor(c.opened, 2000)) << c.what << " did not open (focus: " << Focused().toStdString() << ")";
        c.undo();
        if (QWidget* left = QApplication::activePopupWidget()) left->close();
    }
}

// The Menu key in the list opens the menu of its current item: what the menu's commands
// act on is that item.
TEST_F(KeyboardWalk, MenuKeyInTheListActsOnTheCurrentItem)
{
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    auto* model = static_cast<QFileSystemModel*>(window_->fileList->model());
    window_->fileList->setFocus(Qt::TabFocusReason);
    window_->fileList->setCurrentIndex(model->index(folder_.path() + "/a.txt"));
    EXPECT_EQ(PopupOpenedBy([this] { QTest::keyClick(window_->fileList, Qt::Key_Menu); }), "folderMenu");
    EXPECT_EQ(window_->PickedPath(), folder_.path() + "/a.txt");
}

} // namespace
} // namespace mwtest
