// SPDX-License-Identifier: GPL-3.0-or-later
// The folder pane used like a file manager's: opening folders from the list, the keys
// (Enter, F2, Delete), sorting and the Modified column, the context menu, files dropped
// in from the desktop (copied beside the window, a name clash asked about, a link of that
// name replaced, special files refused, a copy cancelled) and files dragged out.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSemaphore>
#include <QStyle>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <atomic>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "mainwindow/ConnectionState.h"
#include "services/TransferServer.h"
#include "tests/mainwindow/MainWindowFixture.h"
#include "tests/mainwindow/TestEnvironment.h"
#include "tests/support/FileSizeLimit.h"
#include "windows/LogWindow.h"

// Takes the URLs that QDesktopServices would hand to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls << url; }
};

namespace mwtest {
namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class FolderPaneTest : public MainWindowTest {
protected:
    // Starts connected on the test folder, which holds a folder "sub" and the files
    // a.txt (3 bytes) and big.bin (3000 bytes).
    void StartWithFiles()
    {
        ASSERT_TRUE(QDir(folder_.path()).mkdir("sub"));
        ASSERT_NO_FATAL_FAILURE(WriteFile(folder_.path() + "/a.txt", "abc"));
        ASSERT_NO_FATAL_FAILURE(WriteFile(folder_.path() + "/big.bin", QByteArray(3000, 'x')));
        ASSERT_NO_FATAL_FAILURE(Start());
        window_->pollTimer->stop(); // no link here: the state stays what the test sets
        window_->SetConnState(StateConnected);
        ASSERT_TRUE(
            WaitFor([this] { return Item("a.txt").isValid() && Item("sub").isValid() && Item("big.bin").isValid(); }, 5000));
    }
    QFileSystemModel* ListModel() const { return static_cast<QFileSystemModel*>(window_->fileList->model()); }
    // The list's item of a name in the folder it shows, once laid out.
    QModelIndex Item(const QString& name) const
    {
        const QModelIndex index = ListModel()->index(QDir(ListModel()->rootPath()).filePath(name));
        return index.isValid() && !window_->fileList->visualRect(index).isEmpty() ? index : QModelIndex();
    }
    QPoint At(const QModelIndex& index) const { return window_->fileList->visualRect(index).center(); }
    // A point of the list below its last item.
    QPoint Blank() const { return QPoint(5, window_->fileList->viewport()->height() - 3); }
    void Click(const QModelIndex& index) { QTest::mouseClick(window_->fileList->viewport(), Qt::LeftButton, {}, At(index)); }
    // The names of the list in the order shown.
    QStringList Shown() const
    {
        QStringList names;
        const QModelIndex root = window_->fileList->rootIndex();
        for (int row = 0; row < ListModel()->rowCount(root); ++row) names << ListModel()->index(row, 0, root).data().toString();
        return names;
    }
    // Hidden or temporary files left in the test folder.
    QStringList Temporaries() const
    {
        return QDir(folder_.path()).entryList({".*", "*.new", "*.tmp", "qt_temp*"}, QDir::Files | QDir::Hidden | QDir::System);
    }
    // Waits for the copies of the drops so far to have ended.
    bool CopiesEnded(const QString& statusStart)
    {
        return WaitFor([&] { return !window_->CopyRunning() && window_->statusPanel->text().startsWith(statusStart); }, 10000);
    }
    // Drops urls on the list at pos as a file manager does (offering copy and move);
    // returns whether the list took the drop, and the action it chose.
    std::pair<bool, Qt::DropAction> Drop(const QList<QUrl>& urls, const QPoint& pos)
    {
        QMimeData data;
        data.setUrls(urls);
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
        QWidget* target = window_->fileList->viewport();
        QDragEnterEvent enter(pos, offered, &data, Qt::LeftButton, Qt::NoModifier);
        enter.setDropAction(Qt::MoveAction);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) return {false, Qt::IgnoreAction};
        QDropEvent drop(QPointF(pos), offered, &data, Qt::LeftButton, Qt::NoModifier);
        drop.setDropAction(Qt::MoveAction);
        QApplication::sendEvent(target, &drop);
        return {drop.isAccepted(), drop.dropAction()};
    }
};

// The tree's model watches nothing itself: the folders it shows expanded are watched
// for their subfolders. A folder another program makes or removes there shows at once;
// files coming and going there are none of the tree's business (FolderWatchTest).
TEST_F(FolderPaneTest, FoldersMadeOrRemovedByOthersShowInTheTree)
{
    ASSERT_NO_FATAL_FAILURE(StartWithFiles());
    auto* tree = static_cast<QFileSystemModel*>(window_->folderTree->model());
    const QString folder = folder_.path();
    ASSERT_TRUE(window_->folderTree->isExpanded(tree->index(folder)));
    // The shown folder's children, as the tree has them.
    const auto children = [&] {
        QStringList names;
        const QModelIndex node = tree->index(folder);
        for (int row = 0; row < tree->rowCount(node); ++row) names << tree->index(row, 0, node).data().toString();
        names.sort();
        return names;
    };
    ASSERT_TRUE(WaitFor([&] { return children() == QStringList{"sub"}; }, 5000)) << children().join(',').toStdString();

    ASSERT_TRUE(QDir(folder).mkdir("made-outside"));
    EXPECT_TRUE(WaitFor(
        [&] {
            return children() == QStringList({"made-outside", "sub"});
        },
        5000))
        << "a folder made by another program did not show: " << children().join(',').toStdString();
    ASSERT_TRUE(QDir(folder).rmdir("sub"));
    ASSERT_TRUE(QDir(folder).rename("made-outside", "renamed"));
    // A folder listed again lately is listed again only after MainWindow::RelistEveryMs.
    EXPECT_TRUE(WaitFor([&] { return children() == QStringList{"renamed"}; }, MainWindow::RelistEveryMs + 5000))
        << "folders removed or renamed by another program stayed: " << children().join(',').toStdString();
    // The transfer folder is still the one shown.
    EXPECT_EQ(window_->TreePath(), folder);
}

TEST_F(FolderPaneTest, DoubleClickAndEnterOpenAFolderButNotAFile)
{
    ASSERT_NO_FATAL_FAILURE(StartWithFiles());
    const QString sub = folder_.path() + "/sub";
    int doubleClicks = 0;
    QObject::connect(window_->fileList, &QAbstractItemView::doubleClicked, [&] { ++doubleClicks; });
    // The first click of the pair, then the second (which QTest sends alone).
    auto doubleClick = [&](const QString& name) {
        QTest::mouseClick(window_->fileList->viewport(), Qt::LeftButton, {}, At(Item(name)));
        QTest::mouseDClick(window_->fileList->viewport(), Qt::LeftButton, {}, At(Item(name)));
    };
    // A file is left alone.
    doubleClick("a.txt");
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(window_->TreePath(), folder_.path());
    doubleClick("sub");
    EXPECT_EQ(doubleClicks, 2);
    EXPECT_EQ(window_->TreePath(), sub);
    EXPECT_EQ(window_->Server().Folder(), sub.toStdString()) << "the opened folder is the transfer folder";

    window_->SetTreePath(folder_.path());
    ASSERT_TRUE(WaitFor([&] { return Item("sub").isValid(); }, 5000));
    window_->fileList->setFocus();
    window_->fileList->setCurrentIndex(Item("sub"));
    QTest::keyClick(window_->fileList, Qt::Key_Return);
    EXPECT_EQ(window_->TreePath(), sub);
}

// Backspace and Alt+Up go up one folder from the tree and from the list; at the top of
// the file system they do nothing, and while a name is edited Backspace edits it.
TEST_F(FolderPaneTest, BackspaceAndAltUpGoToTheParentFolder)
{
    ASSERT_NO_FATAL_FAILURE(StartWithFiles());
    const QString sub = folder_.path() + "/sub";
    const struct {
        const char* name;
        bool list;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } cases[] = {
        {"Backspace in the tree", false, Qt::Key_Backspace, Qt::NoModifier},
        {"Alt+Up in the tree", false, Qt::Key_Up, Qt::AltModifier},
        {"Backspace in the list", true, Qt::Key_Backspace, Qt::NoModifier},
        {"Alt+Up in the list", true, Qt::Key_Up, Qt::AltModifier},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window_->SetTreePath(sub);
        ASSERT_EQ(window_->TreePath(), sub);
        ShellView* view = c.list ? window_->fileList : window_->folderTree;
        view->setFocus();
        QTest::keyClick(view, c.key, c.modifiers);
        EXPECT_EQ(window_->TreePath(), folder_.path());
        EXPECT_EQ(window_->Server().Folder(), folder_.path().toStdString()) << "the parent is the transfer folder";
    }
    window_->SetTreePath(QDir::rootPath());
    window_->folderTree->setFocus();
    QTest::keyClick(window_->folderTree, Qt::Key_Backspace);
    EXPECT_EQ(window_->TreePath(), QDir::rootPath());
    EXPECT_TRUE(errors_.empty());
}

TEST_F(FolderPaneTest, F2RenamesAndDeleteDeletesTheListItemAfterAsking)
{
    ASSERT_NO_FATAL_FAILURE(StartWithFiles());
    window_->fileList->setFocus();
    Click(Item("a.txt"));
    QTest::keyClick(window_->fileList, Qt::Key_F2);
    EXPECT_TRUE(window_->fileList->Editing());
    EXPECT_EQ(window_->fileList->currentIndex(), Item("a.txt"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(window_->fileList->Editing());

    // Delete asks with the item's name; No keeps it.
    dialogs_->confirmAnswer = false;
    QTest::keyClick(window_->fileList, Qt::Key_Delete);
    ASSERT_EQ(dialogs_->confirms.size(), 1u);
    EXPECT_TRUE(dialogs_->confirms[0].contains("a.txt")) << dialogs_->confirms[0].toStdString();
    EXPECT_TRUE(QFileInfo::exists(folder_.path() + "/a.txt"));
    dialogs_->confirmAnswer = true;
    QTest::keyClick(window_->fileList, Qt::Key_Delete);
    EXPECT_FALSE(QFileInfo::exists(folder_.path() + "/a.txt"));
    EXPECT_TRUE(QFileInfo::exists(EnvRoot() + "/data/Trash/files/a.txt"));
    // The folder the list shows still exists: the tree stays on it.
    EXPECT_EQ(window_->TreePath(), folder_.path());

    // F2 in the tree renames the tree's folder even after a pick in the list.
    Click(Item("big.bin"));
    window_->folderTree->setFocus();
    QTest::keyClick(window_->folderTree, Qt::Key_F2);
    EXPECT_TRUE(window_->folderTree->Editing());
    EXPECT_FALSE(window_->fileList->Editing());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    // And so does Delete: the question names the tree's folder, not the list's pick.
    Click(Item("big.bin"));
    ASSERT_TRUE(WaitFor([&] { return window_->PickedPath() == folder_.path() + "/big.bin"; }, 3000));
    window_->folderTree->setFocus();
    dialogs_->confirmAnswer = false;
    dialogs_->confirms.clear();
    QTest::keyClick(window_->folderTree, Qt::Key_Delete);
    ASSERT_EQ(dialogs_->confirms.size(), 1u);
    EXPECT_TRUE(dialogs_->confirms[0].contains(QDir::toNativeSeparators(folder_.path()) + "\""))
        << dialogs_->confirms[0].toStdString();
    EXPECT_TRUE(QFileInfo::exists(folder_.path() + "/big.bin"));
}

TEST_F(FolderPaneTest, KeysDoNothingWhileTheFolderCommandsAreOff)
{
    ASSERT_NO_FATAL_FAILURE(StartWithFiles());
    window_->fileList->setFocus();
    Click(Item("a.txt"));
    window_->SetConnState(StateDisconnected); // no calculator: the pane is hidden
    window_->fileList->setEnabled(true);      // reached all the same (the keys are checked, not only the view)
    QTest::keyClick(window_->fileList, Qt::Key_Delete);
    QTest::keyClick(window_->fileList, Qt::Key_F2);
    EXPECT_TRUE(dialogs_->confirms.empty());
    EXPECT_FALSE(window_->fileList->Editing());
}

TEST_F(FolderPaneTest, ColumnsSortByClickAndShowWhenModified)
{
    ASSERT_NO_FATAL_FAILURE(StartWithFiles());
    QHeaderView* header = window_->fileList->header();
    EXPECT_FALSE(window_->fileList->isColumnHidden(3));
    EXPECT_EQ(ListModel()->headerData(3, Qt::Horizontal).toString(), "Modified");
    const QDateTime modified = QFileInfo(folder_.path() + "/a.txt").lastModified();
    EXPECT_FALSE(Item("a.txt").siblingAtColumn(3).data().toString().isEmpty());
    EXPECT_EQ(ListModel()->lastModified(Item("a.txt")), modified);
    // By name at first (folders first), then by size at a click on the Size header.
    EXPECT_EQ(Shown(), QStringList({"sub", "a.txt", "big.bin"}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    const bool ascending = header->sortIndicatorOrder() == Qt::AscendingOrder;
    // Ascending by size puts the 3-byte file before the 3000-byte one.
    ASSERT_TRUE(WaitFor([&] { return (Shown().indexOf("a.txt") < Shown().indexOf("big.bin")) == ascending; }, 3000))
        << Shown().join(",").toStdString();
    // A second click turns the order round.
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    EXPECT_NE(header->sortIndicatorOrder() == Qt::AscendingOrder, ascending);
    ASSERT_TRUE(WaitFor([&] { return (Shown().indexOf("a.txt") < Shown().indexOf("big.bin")) != ascending; }, 3000))
        << Shown().join(",").toStdString();
}

// A renamed item moves to its place in the order shown in the list (by its sort column).
TEST_F(FolderPaneTest, ARenamedItemMovesToItsSortedPlace)
{
    ASSERT_NO_FATAL_FAILURE(StartWithFiles());
    ASSERT_TRUE(WaitFor(
        [&] {
            return Shown() == QStringList({"sub", "a.txt", "big.bin"});
        },
        3000))
        << Shown().join(",").toStdString();
    window_->fileList->setFocus();
    Click(Item("a.txt"));
    QTest::keyClick(window_->fileList, Qt::Key_F2);
    ASSERT_TRUE(window_->fileList->Editing());
    QTest::keyClicks(QApplication::focusWidget(), "zz.txt");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(WaitFor(
        [&] {
            return Shown() == QStringList({"sub", "big.bin", "zz.txt"});
        },
        3000))
        << Shown().join(",").toStdString();
}

// A folder the user opens goes on top of the recent list: from the list (Enter), by the
// parent key, from a recent item; the folders the arrow keys pass in the tree do not.
TEST_F(FolderPaneTest, OpeningAFolderPutsItOnTheRecentList)
{
    ASSERT_NO_FATAL_FAILURE(StartWithFiles());
    const QString top = folder_.path();
    const QString sub = top + "/sub";
    window_->fileList->setFocus();
    window_->fileList->setCurrentIndex(Item("sub"));
    QTest::keyClick(window_->fileList, Qt::Key_Return);
    ASSERT_EQ(window_->TreePath(), sub);
    EXPECT_EQ(window_->RecentFolders()[0], sub);
    EXPECT_TRUE(window_->recentFolderItems[0]->isVisible());
    EXPECT_EQ(window_->recentFolderItems[0]->text(), "&1 " + sub);
    QTest::keyClick(window_->fileList, Qt::Key_Backspace);
    ASSERT_EQ(window_->TreePath(), top);
    EXPECT_EQ(window_->RecentFolders()[0], top);
    EXPECT_EQ(window_->RecentFolders()[1], sub);
    // Walking the tree with the arrows changes the folder but not the list.
    window_->folderTree->setFocus();
    QTest::keyClick(window_->folderTree, Qt::Key_Up);
    EXPECT_NE(window_->TreePath(), top);
    EXPECT_EQ(window_->RecentFolders()[0], top);
    // A recent item opened comes on top again.
    window_->recentFolderItems[1]->trigger();
    EXPECT_EQ(window_->TreePath(), sub);
    EXPECT_EQ(window_->RecentFolders()[0], sub);
    EXPECT_EQ(window_->RecentFolders()[1], top);
}

// The editor of a new folder's name shows the whole name, in a folder deep down the tree
// too (it used to be cut to "lew Folder").
TEST_F(FolderPaneTest, TheNewFolderEditorShowsTheWholeName)
{
    QString deep = folder_.path();
    for (const char* part : {"one", "two", "three", "four", "five", "six"}) deep += QLatin1Char('/') + part;
    ASSERT_TRUE(QDir().mkpath(deep));
    ASSERT_NO_FATAL_FAILURE(StartWithFiles());
    window_->SetTreePath(deep);
    window_->NewFolder();
    ASSERT_TRUE(window_->folderTree->Editing());
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(WaitFor([&] { return editor->isVisible(); }, 2000));
    const int needed = editor->fontMetrics().horizontalAdvance(editor->text());
    // The whole text fits the editor, and the editor is inside the tree's viewport.
    EXPECT_GT(editor->width() - 2 * editor->style()->pixelMetric(QStyle::PM_DefaultFrameWidth), needed)
        << "editor " << editor->width() << " px for " << needed << " px of \"" << editor->text().toStdString() << "\"";
    const QRect inView = QRect(editor->mapTo(window_->folderTree->viewport(), QPoint(0, 0)), editor->size());
    EXPECT_TRUE(window_->folderTree->viewport()->rect().contains(inView))
        << "editor at " << inView.x() << "," << inView.y() << " " << inView.width() << "x" << inView.height();
    QTest::keyClick(editor, Qt::Key_Escape);
}

// The window as it first opens shows the four columns of the list whole and a long status
// message in full.
TEST_F(FolderPaneTest, TheDefaultSizeShowsEveryColumnAndWholeMessages)
{
    ASSERT_NO_FATAL_FAILURE(StartWithFiles());
    ASSERT_TRUE(WaitFor([&] { return !Item("a.txt").siblingAtColumn(3).data().toString().isEmpty(); }, 5000));
    QHeaderView* header = window_->fileList->header();
    const int viewWidth = window_->fileList->viewport()->width();
    for (int column = 0; column < 4; ++column) {
        EXPECT_FALSE(window_->fileList->isColumnHidden(column));
        EXPECT_LE(header->sectionViewportPosition(column) + header->sectionSize(column), viewWidth)
            << "column " << column << " ends beyond the list's " << viewWidth << " px";
    }
    // The widest texts of the columns fit them.
    const QFontMetrics metrics(window_->fileList->font());
    for (const QString& name : {QString("a.txt"), QString("big.bin"), QString("sub")})
        for (int column = 1; column < 4; ++column) {
            const QString text = Item(name).siblingAtColumn(column).data().toString();
            EXPECT_LT(metrics.horizontalAdvance(text), header->sectionSize(column))
                << name.toStdString() << " column " << column << ": \"" << text.toStdString() << "\"";
        }
    const QString message = "A transfer is in progress: the class view opens once it is over";
    window_->statusPanel->setText(message);
    ASSERT_TRUE(WaitEventLoopTurn());
    EXPECT_GE(window_->statusPanel->width(), window_->statusPanel->fontMetrics().horizontalAdvance(message))
        << "the status bar cuts \"" << message.toStdString() << "\"";
}

struct MenuRow {
    const char* what;
    bool inTree;
    const char* item; // the list's item under the pointer, "" beside the items
    int state;
    bool open, rename, remove, newFolder, copyPath;
};

TEST_F(FolderPaneTest, ContextMenuOffersWhatFitsThePlaceClicked)
{
    ASSERT_NO_FATAL_FAILURE(StartWithFiles());
    const MenuRow rows[] = {
        {"a file", false, "a.txt", StateConnected, false, true, true, true, true},
        {"a folder", false, "sub", StateConnected, true, true, true, true, true},
        {"beside the items", false, "", StateConnected, false, false, false, true, true},
        // A transfer does not take the folder pane.
        {"a file while busy", false, "a.txt", StateBusy, false, true, true, true, true},
        {"the tree's folder", true, "", StateConnected, true, true, true, true, true},
    };
    for (const MenuRow& row : rows) {
        SCOPED_TRACE(row.what);
        window_->SetConnState(row.state);
        window_->SetTreePath(folder_.path());
        ShellView* view = row.inTree ? window_->folderTree : window_->fileList;
        QPoint pos;
        if (row.inTree)
            pos = view->visualRect(view->currentIndex()).center();
        else
            pos = *row.item ? At(Item(row.item)) : Blank();
        std::unique_ptr<QMenu> menu(window_->FolderMenu(view, pos));
        auto enabled = [&](const char* name) {
            auto* action = menu->findChild<QAction*>(name);
            if (!action) ADD_FAILURE() << "no " << name;
            return action && action->isEnabled();
        };
        EXPECT_EQ(enabled("openFolderItem"), row.open);
        EXPECT_EQ(enabled("renameItem"), row.rename);
        EXPECT_EQ(enabled("deleteItem"), row.remove);
        EXPECT_EQ(enabled("newFolderItem"), row.newFolder);
        EXPECT_EQ(enabled("copyPathItem"), row.copyPath);
        EXPECT_EQ(enabled("showInFileManagerItem"), row.copyPath);
        QStringList texts;
        for (QAction* action : menu->actions())
            if (!action->isSeparator()) texts << action->text();
        // Each with its key, and the keys of the views beside them.
        EXPECT_EQ(texts, QStringList({"&Open folder", "Rena&me\tF2", "&Delete\tDel", "&New Folder\tCtrl+Shift+N", "&Copy path",
                                      "&Show in file manager"}));
    }
    // CALVYX_SCREENSHOT_DIR set: pictures of the pane and of its menu over a file, to look at.
    const QString shots = qEnvironmentVariable("CALVYX_SCREENSHOT_DIR");
    if (!shots.isEmpty()) {
        window_->SetConnState(StateConnected);
        window_->SetTreePath(folder_.path());
        window_->resize(640, 415);
        ASSERT_TRUE(WaitFor([&] { return Item("a.txt").isValid(); }, 5000));
        std::unique_ptr<QMenu> menu(window_->FolderMenu(window_->fileList, At(Item("a.txt"))));
        menu->popup(window_->fileList->viewport()->mapToGlobal(At(Item("a.txt"))));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu.get()));
        QDir().mkpath(shots);
        EXPECT_TRUE(window_->grab().save(QDir(shots).filePath("folder-pane.png")));
        EXPECT_TRUE(menu->grab().save(QDir(shots).filePath("folder-menu.png")));
        menu->close();
    }
}

TEST_F(FolderPaneTest, ContextMenuCommandsActOnTheItemClicked)
{
    ASSERT_NO_FATAL_FAILURE(StartWithFiles());
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "Open");
    auto run = [&](const QPoint& pos, const char* name) {
        std::unique_ptr<QMenu> menu(window_->FolderMenu(window_->fileList, pos));
        QAction* action = menu->findChild<QAction*>(name);
        ASSERT_TRUE(action);
        action->trigger();
    };
    ASSERT_NO_FATAL_FAILURE(run(At(Item("a.txt")), "copyPathItem"));
    EXPECT_EQ(QApplication::clipboard()->text(), folder_.path() + "/a.txt");
    // A file shows the folder that holds it; a folder itself.
    ASSERT_NO_FATAL_FAILURE(run(At(Item("a.txt")), "showInFileManagerItem"));
    ASSERT_NO_FATAL_FAILURE(run(At(Item("sub")), "showInFileManagerItem"));
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_EQ(catcher.urls, QList<QUrl>({QUrl::fromLocalFile(folder_.path()), QUrl::fromLocalFile(folder_.path() + "/sub")}));

    ASSERT_NO_FATAL_FAILURE(run(At(Item("big.bin")), "renameItem"));
    EXPECT_TRUE(window_->fileList->Editing());
    EXPECT_EQ(window_->fileList->currentIndex(), Item("big.bin"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    ASSERT_NO_FATAL_FAILURE(run(At(Item("big.bin")), "deleteItem"));
    ASSERT_EQ(dialogs_->confirms.size(), 1u);
    EXPECT_TRUE(dialogs_->confirms[0].contains("big.bin"));
    EXPECT_FALSE(QFileInfo::exists(folder_.path() + "/big.bin"));

    ASSERT_NO_FATAL_FAILURE(run(Blank(), "newFolderItem"));
    EXPECT_TRUE(QFileInfo(folder_.path() + "/New Folder").isDir());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    window_->SetTreePath(folder_.path());
    ASSERT_TRUE(WaitFor([&] { return Item("sub").isValid(); }, 5000));
    ASSERT_NO_FATAL_FAILURE(run(At(Item("sub")), "openFolderItem"));
    EXPECT_EQ(window_->TreePath(), folder_.path() + "/sub");
}

TEST_F(FolderPaneTest, FilesDroppedInAreCopiedAndAClashIsAskedAbout)
{
    ASSERT_NO_FATAL_FAILURE(StartWithFiles());
    QTemporaryDir desktop;
    ASSERT_NO_FATAL_FAILURE(WriteFile(desktop.filePath("new.txt"), "new"));
    ASSERT_NO_FATAL_FAILURE(WriteFile(desktop.filePath("a.txt"), "replacement"));
    ASSERT_TRUE(QDir(desktop.path()).mkdir("folder"));

    // A copy, whatever the file manager proposed: the originals stay.
    const auto [taken, action] = Drop({QUrl::fromLocalFile(desktop.filePath("new.txt"))}, Blank());
    EXPECT_TRUE(taken);
    EXPECT_EQ(action, Qt::CopyAction);
    ASSERT_TRUE(WaitFor([&] { return window_->statusPanel->text().startsWith("Copied"); }, 5000));
    EXPECT_EQ(Contents(folder_.path() + "/new.txt"), "new");
    EXPECT_TRUE(QFileInfo::exists(desktop.filePath("new.txt")));
    EXPECT_TRUE(dialogs_->confirms.empty());
    EXPECT_TRUE(window_->statusPanel->text().startsWith("Copied 1 file")) << window_->statusPanel->text().toStdString();

    // A name that is taken: asked; No keeps the folder's file, Yes replaces it.
    dialogs_->confirmAnswer = false;
    Drop({QUrl::fromLocalFile(desktop.filePath("a.txt"))}, Blank());
    ASSERT_TRUE(WaitFor([&] { return dialogs_->confirms.size() == 1; }, 3000));
    EXPECT_TRUE(dialogs_->confirms[0].contains("a.txt")) << dialogs_->confirms[0].toStdString();
    EXPECT_EQ(Contents(folder_.path() + "/a.txt"), "abc");
    dialogs_->confirmAnswer = true;
    Drop({QUrl::fromLocalFile(desktop.filePath("a.txt"))}, Blank());
    ASSERT_TRUE(WaitFor([&] { return dialogs_->confirms.size() == 2; }, 3000));
    ASSERT_TRUE(WaitFor([&] { return Contents(folder_.path() + "/a.txt") == "replacement"; }, 3000));
    EXPECT_TRUE(Temporaries().isEmpty()) << Temporaries().join(' ').toStdString();

    // Dropped on a folder item: into that folder. A folder and a file of the same
    // name as the target's own are reported, not copied.
    dialogs_->messages.clear();
    Drop({QUrl::fromLocalFile(desktop.filePath("new.txt")), QUrl::fromLocalFile(desktop.filePath("folder"))}, At(Item("sub")));
    ASSERT_TRUE(WaitFor([&] { return QFileInfo::exists(folder_.path() + "/sub/new.txt"); }, 3000));
    ASSERT_TRUE(WaitFor([&] { return !dialogs_->messages.empty(); }, 3000));
    EXPECT_TRUE(dialogs_->messages[0].second.contains("\"folder\": folders are not copied"))
        << dialogs_->messages[0].second.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder_.path() + "/sub/folder"));

    // What is not a local file is not taken at all.
    EXPECT_FALSE(Drop({QUrl("https://example.org/x.txt")}, Blank()).first);
}

TEST_F(FolderPaneTest, AFileDroppedOntoALinkOfItsNameReplacesTheLinkNotItsTarget)
{
    QTemporaryDir outside, desktop;
    ASSERT_NO_FATAL_FAILURE(WriteFile(outside.filePath("secret.txt"), "outside the folder"));
    ASSERT_TRUE(QFile::link(outside.filePath("secret.txt"), folder_.path() + "/linked.txt"));
    ASSERT_NO_FATAL_FAILURE(StartWithFiles());
    ASSERT_NO_FATAL_FAILURE(WriteFile(desktop.filePath("linked.txt"), "dropped bytes"));

    dialogs_->confirmAnswer = true;
    Drop({QUrl::fromLocalFile(desktop.filePath("linked.txt"))}, Blank());
    ASSERT_TRUE(CopiesEnded("Copied 1 file")) << window_->statusPanel->text().toStdString();
    ASSERT_EQ(dialogs_->confirms.size(), 1u);
    EXPECT_TRUE(dialogs_->confirms[0].contains("linked.txt")) << dialogs_->confirms[0].toStdString();
    EXPECT_EQ(Contents(outside.filePath("secret.txt")), "outside the folder");
    const QFileInfo replaced(folder_.path() + "/linked.txt");
    EXPECT_FALSE(replaced.isSymLink());
    EXPECT_TRUE(replaced.isFile());
    EXPECT_EQ(Contents(replaced.filePath()), "dropped bytes");
    EXPECT_TRUE(Temporaries().isEmpty()) << Temporaries().join(' ').toStdString();
    EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(FolderPaneTest, ADroppedPipeIsRefusedWithoutWaitingAndAFailedCopySaysWhy)
{
    ASSERT_NO_FATAL_FAILURE(StartWithFiles());
    QTemporaryDir desktop;
    const QString fifo = desktop.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    Drop({QUrl::fromLocalFile(fifo)}, Blank());
    const bool refused = WaitFor([&] { return !dialogs_->messages.empty() && !window_->CopyRunning(); }, 5000);
    if (!refused) {
        // The copy waits on the pipe: a writer that goes at once lets it end.
        const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
    }
    ASSERT_TRUE(refused) << "the drop of a pipe did not end within 5 s";
    EXPECT_TRUE(dialogs_->messages[0].second.contains("\"pipe\": not a file that can be copied"))
        << dialogs_->messages[0].second.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder_.path() + "/pipe"));
    EXPECT_TRUE(Temporaries().isEmpty()) << Temporaries().join(' ').toStdString();

    // A copy that fails half-way (the disk is full, as far as this process goes): the
    // system's reason in the message and the log, the old file as it was.
    ASSERT_NO_FATAL_FAILURE(WriteFile(desktop.filePath("big.bin"), QByteArray(200000, 'y')));
    dialogs_->messages.clear();
    dialogs_->confirmAnswer = true;
    {
        ScopedFileSizeLimit full(100000);
        ASSERT_TRUE(full.Active());
        Drop({QUrl::fromLocalFile(desktop.filePath("big.bin"))}, Blank());
        ASSERT_TRUE(WaitFor([&] { return !dialogs_->messages.empty() && !window_->CopyRunning(); }, 10000));
    }
    const QString reason = QString("\"big.bin\": %1").arg(qt_error_string(EFBIG));
    EXPECT_TRUE(dialogs_->messages[0].second.contains(reason)) << dialogs_->messages[0].second.toStdString();
    EXPECT_FALSE(window_->Log().Lines().filter(reason).isEmpty());
    EXPECT_TRUE(Contents(folder_.path() + "/big.bin") == QByteArray(3000, 'x'))
        << "big.bin now holds " << Contents(folder_.path() + "/big.bin").size() << " bytes";
    EXPECT_TRUE(Temporaries().isEmpty()) << Temporaries().join(' ').toStdString();
}

TEST_F(FolderPaneTest, ACopyRunsBesideTheWindowAndCancelKeepsTheOldFile)
{
    ASSERT_NO_FATAL_FAILURE(StartWithFiles());
    QTemporaryDir desktop;
    ASSERT_NO_FATAL_FAILURE(WriteFile(desktop.filePath("big.bin"), QByteArray(1 << 20, 'y')));

    // The copy is held after its first chunk until the test lets it go on.
    std::atomic<bool> held{false};
    std::atomic<QThread*> copyingThread{nullptr};
    QSemaphore goOn;
    window_->copyChunkCopied = [&](std::uint64_t) {
        if (held.exchange(true)) return;
        copyingThread = QThread::currentThread();
        EXPECT_TRUE(goOn.tryAcquire(1, 10000)) << "the test never let the copy go on";
    };
    dialogs_->confirmAnswer = true;
    Drop({QUrl::fromLocalFile(desktop.filePath("big.bin"))}, Blank());
    const bool reached = WaitFor([&] { return held.load(); }, 5000);
    if (!reached) goOn.release();
    ASSERT_TRUE(reached) << "the copy never reached its first chunk";
    EXPECT_NE(copyingThread.load(), QApplication::instance()->thread());

    // While the copy waits, the window goes on: an event is handled, and the progress
    // dialog's Cancel is taken.
    bool ticked = false;
    QTimer::singleShot(0, window_.get(), [&] { ticked = true; });
    EXPECT_TRUE(WaitFor([&] { return ticked; }, 2000));
    auto* progress = window_->findChild<QProgressDialog*>();
    ASSERT_NE(progress, nullptr);
    auto* cancel = progress->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    cancel->click();
    EXPECT_TRUE(window_->CopyRunning()) << "the copy ended while it was held";
    goOn.release();

    ASSERT_TRUE(CopiesEnded("Copying to")) << window_->statusPanel->text().toStdString();
    EXPECT_TRUE(window_->statusPanel->text().contains("cancelled")) << window_->statusPanel->text().toStdString();
    EXPECT_TRUE(Contents(folder_.path() + "/big.bin") == QByteArray(3000, 'x'))
        << "big.bin now holds " << Contents(folder_.path() + "/big.bin").size() << " bytes";
    EXPECT_TRUE(Temporaries().isEmpty()) << Temporaries().join(' ').toStdString();
    EXPECT_TRUE(dialogs_->messages.empty()) << "a cancel is no failure";
    EXPECT_EQ(window_->findChild<QProgressDialog*>(), nullptr);
}

TEST_F(FolderPaneTest, SelectedFilesDragOutAsTheirUrls)
{
    ASSERT_NO_FATAL_FAILURE(StartWithFiles());
    EXPECT_EQ(window_->fileList->DragData(), nullptr) << "nothing selected, nothing to drag";
    Click(Item("a.txt"));
    std::unique_ptr<QMimeData> data(window_->fileList->DragData());
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->hasFormat("text/uri-list"));
    EXPECT_EQ(data->urls(), QList<QUrl>({QUrl::fromLocalFile(folder_.path() + "/a.txt")}));
}

} // namespace
} // namespace mwtest

#include "FolderPaneTest.moc"
