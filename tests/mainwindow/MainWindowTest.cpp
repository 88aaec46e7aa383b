// SPDX-License-Identifier: GPL-3.0-or-later
// The main window without the calculator: start-up and shutdown with the settings, the
// control table of each state, the folder commands, the recent folders, help and the
// hidden log commands.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <cstdio>
#include <functional>
#include <unistd.h>

#include "mainwindow/HelpContext.h"
#include "mainwindow/HelpSystem.h"
#include "mainwindow/MainSettings.h"
#include "mainwindow/SearchAnimation.h"
#include "services/TransferServer.h"
#include "tests/mainwindow/MainWindowFixture.h"
#include "tests/mainwindow/TestEnvironment.h"
#include "util/Settings.h"
#include "windows/LogWindow.h"
#include "windows/TransferHistory.h"
#include "windows/TransferStatusDialog.h"

namespace mwtest {
namespace {

QString Slot(const RecentSlots& s, int n) { return s[n - 1]; }

TEST_F(MainWindowTest, StartUpRestoresSettingsAndCloseWritesThem)
{
    QDir(folder_.path()).mkdir("a");
    QDir(folder_.path()).mkdir("b");
    {
        auto reg = OpenSettings();
        reg->setValue("DirWidthSplit", "230");
        reg->setValue("ldir1", folder_.path() + "/a");
        reg->setValue("ldir2", folder_.path() + "/b");
        reg->setValue("ldir3", folder_.path() + "/a"); // a duplicate goes
    }
    ASSERT_NO_FATAL_FAILURE(Start({"calvyx", "com2", "QVxT0+"}));
    EXPECT_EQ(window_->windowTitle(), "Calvyx — QV T20, T20+, T20s, T30s");
    EXPECT_EQ(window_->TreePath(), folder_.path());
    EXPECT_EQ(window_->Server().Folder(), folder_.path().toStdString());
    EXPECT_EQ(window_->TreeWidth(), 230);
    // The parameter chooses the connection exactly as typed; the box keeps its first item.
    EXPECT_EQ(window_->SelectedPort(), "com2");
    EXPECT_EQ(window_->connectionBox->currentIndex(), 0);
    EXPECT_EQ(window_->connectionBox->itemText(0), "QVxT0+");
    EXPECT_EQ(window_->connectionBox->itemText(1), "COM1");
    EXPECT_EQ(window_->connectionBox->itemText(2), "COM2");
    EXPECT_EQ(window_->ConnState(), StateDisconnected);
    window_->SetConnState(StateConnected);
    EXPECT_EQ(window_->folderSplitter->sizes().value(0), 230);
    // Slots are compacted when a state is shown; the separator only with entries.
    EXPECT_EQ(window_->recentFolderItems[0]->text(), "&1 " + folder_.path() + "/a");
    EXPECT_EQ(window_->recentFolderItems[1]->text(), "&2 " + folder_.path() + "/b");
    EXPECT_FALSE(window_->recentFolderItems[2]->isVisible());

    window_->folderSplitter->setSizes({250, 300});
    window_->SetConnState(StateDisconnected); // the width stays while the views hide
    window_->SetTreePath(folder_.path() + "/b");
    window_->close();
    EXPECT_EQ(endProcessCalls_, 1);
    auto reg = OpenSettings();
    EXPECT_EQ(reg->value("dir").toString(), folder_.path() + "/b");
    EXPECT_EQ(reg->value("DirWidthSplit").toString(), "250");
    EXPECT_EQ(reg->value("ldir1").toString(), folder_.path() + "/a");
    EXPECT_EQ(reg->value("ldir2").toString(), folder_.path() + "/b");
    for (int n = 3; n <= 9; ++n) EXPECT_EQ(reg->value(QString("ldir%1").arg(n), "missing").toString(), "") << n;
    EXPECT_TRUE(reg->contains("Connectivity/Left"));
}

TEST_F(MainWindowTest, DefaultsWithoutSettingsAndAStoredFolderThatIsGone)
{
    ASSERT_NO_FATAL_FAILURE(Start({"calvyx", "USB"}));
    EXPECT_EQ(window_->SelectedPort(), "QVxT0+"); // an unknown parameter is ignored
    // Start() stored the test folder; a second start with that folder gone keeps the tree.
    window_->close();
    window_.reset();
    ClearSettings();
    OpenSettings()->setValue("dir", folder_.path() + "/gone");
    window_ = std::make_unique<MainWindow>([] {});
    EXPECT_NE(window_->TreePath(), folder_.path() + "/gone");
    EXPECT_EQ(window_->TreeWidth(), 180);
    for (QAction* item : window_->recentFolderItems) EXPECT_FALSE(item->isVisible());
    EXPECT_FALSE(window_->recentFoldersSeparator->isVisible());
}

TEST_F(MainWindowTest, SecondWindowIsRefusedWhileTheFirstHoldsTheLock)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    int ended = 0;
    MainWindow second([&ended] { ++ended; });
    EXPECT_TRUE(second.Refused());
    EXPECT_EQ(ended, 1);
}

struct StateRow {
    int state;
    int comboIndex;
    bool views, viewsEnabled, prompt, combo, animation, commands, usbCommands;
};

TEST_F(MainWindowTest, ControlsFollowTheConnectionState)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    const StateRow rows[] = {
        {StateDisconnected, 0, false, false, true, true, true, false, false},
        {StateDisconnected, 1, false, false, true, true, true, false, false},
        // Busy: only the connection is fixed; the commands that need the link say why
        // they wait when used (TransferFlowTest).
        {StateBusy, 0, true, true, false, false, false, true, true},
        {StateConnected, 0, true, true, false, true, false, true, true},
        {StateConnected, 2, true, true, false, true, false, true, false},
        {StateDisconnected, 0, false, false, true, true, true, false, false},
    };
    for (const auto& r : rows) {
        window_->connectionBox->setCurrentIndex(r.comboIndex);
        window_->SetConnState(r.state);
        window_->UpdateControls();
        const std::string at = "state " + std::to_string(r.state) + " box " + std::to_string(r.comboIndex);
        QWidget* w = window_.get();
        EXPECT_EQ(window_->folderTree->isVisibleTo(w), r.views) << at;
        EXPECT_EQ(window_->fileList->isVisibleTo(w), r.views) << at;
        EXPECT_EQ(window_->folderTree->isEnabled(), r.viewsEnabled) << at;
        EXPECT_EQ(window_->fileList->isEnabled(), r.viewsEnabled) << at;
        EXPECT_EQ(window_->folderSplitter->isEnabled(), r.views) << at;
        EXPECT_EQ(window_->promptLabel->isVisibleTo(w), r.prompt) << at;
        EXPECT_EQ(window_->connectionBox->isEnabled(), r.combo) << at;
        EXPECT_EQ(window_->searchAnimation->isVisibleTo(w), r.animation) << at;
        EXPECT_EQ(window_->searchAnimation->Playing(), r.animation) << at;
        for (QAction* a : {window_->captureAction, window_->newFolderAction, window_->deleteAction, window_->renameAction})
            EXPECT_EQ(a->isEnabled(), r.commands) << at << " " << a->text().toStdString();
        EXPECT_EQ(window_->captureButton->isEnabled(), r.commands) << at;
        EXPECT_EQ(window_->newFolderButton->isEnabled(), r.commands) << at;
        EXPECT_EQ(window_->receiveButton->isEnabled(), r.usbCommands) << at;
        EXPECT_EQ(window_->receiveAction->isEnabled(), r.usbCommands) << at;
        EXPECT_EQ(window_->sendRomAction->isEnabled(), r.usbCommands) << at;
    }
}

TEST_F(MainWindowTest, DisconnectingClearsTheStatusAndShowsThePrompt)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    // Only the states set here may change the panel: a poll due meanwhile (a slow,
    // sanitized build) would find no calculator and disconnect first.
    window_->pollTimer->stop();
    window_->SetConnState(StateConnected);
    window_->ShowServerStatus({ServerState::Connected, "QVxT0+"});
    EXPECT_EQ(window_->statusPanel->text(), "Device connected on QVxT0+");
    window_->SetConnState(StateDisconnected);
    EXPECT_EQ(window_->statusPanel->text(), "");
    EXPECT_TRUE(window_->promptLabel->text().startsWith("The calculator appears to be disconnected."));
}

TEST_F(MainWindowTest, NewFolderTakesTheNextFreeNameAndStartsEditingIt)
{
    QDir(folder_.path()).mkdir("New Folder");
    QFile file(folder_.path() + "/New Folder (2)");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_NO_FATAL_FAILURE(Start());
    window_->SetConnState(StateConnected);
    window_->NewFolder();
    const QString made = folder_.path() + "/New Folder (3)";
    EXPECT_TRUE(QFileInfo(made).isDir());
    EXPECT_EQ(window_->TreePath(), made);
    EXPECT_EQ(window_->Server().Folder(), made.toStdString());
    EXPECT_TRUE(window_->folderTree->Editing());
    // While a label is edited the command does nothing, and Delete edits text.
    window_->NewFolder();
    EXPECT_FALSE(QFileInfo::exists(folder_.path() + "/New Folder (3)/New Folder"));
    EXPECT_FALSE(QFileInfo::exists(folder_.path() + "/New Folder (4)"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    EXPECT_TRUE(QFileInfo(made).isDir());
    EXPECT_TRUE(dialogs_->confirms.empty());
}

TEST_F(MainWindowTest, DeleteMovesThePickToTheTrashAndSelectsTheParent)
{
    QDir(folder_.path()).mkdir("old");
    ASSERT_NO_FATAL_FAILURE(Start());
    window_->SetConnState(StateConnected);
    window_->SetTreePath(folder_.path() + "/old");
    dialogs_->confirmAnswer = false;
    window_->DeletePicked();
    EXPECT_TRUE(QFileInfo(folder_.path() + "/old").isDir()) << "declined: nothing deleted";
    EXPECT_EQ(window_->TreePath(), folder_.path() + "/old") << "declined: the selection stays";

    window_->SetTreePath(folder_.path() + "/old");
    dialogs_->confirmAnswer = true;
    window_->folderTree->setFocus();
    QTest::keyClick(window_->folderTree, Qt::Key_Delete);
    EXPECT_FALSE(QFileInfo::exists(folder_.path() + "/old"));
    EXPECT_EQ(dialogs_->confirms.size(), 2u);
    EXPECT_EQ(window_->TreePath(), folder_.path());
    EXPECT_EQ(window_->Server().Folder(), folder_.path().toStdString());
    EXPECT_TRUE(dialogs_->messages.empty()) << dialogs_->messages.front().second.toStdString();
    const QString trashed = EnvRoot() + "/data/Trash/files/old";
    EXPECT_TRUE(QFileInfo(trashed).isDir()) << "in the trash, not gone for good";
}

TEST_F(MainWindowTest, RecentItemOfAMissingFolderIsReportedAndRemoved)
{
    QDir(folder_.path()).mkdir("kept");
    {
        auto reg = OpenSettings();
        reg->setValue("ldir1", folder_.path() + "/gone");
        reg->setValue("ldir2", folder_.path() + "/kept");
    }
    ASSERT_NO_FATAL_FAILURE(Start());
    window_->SetConnState(StateConnected);
    window_->OpenRecentFolder(1);
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0].first, "Error");
    EXPECT_EQ(dialogs_->messages[0].second, "Error, the folder \"" + folder_.path() + "/gone\" does not exist.");
    EXPECT_EQ(Slot(window_->RecentFolders(), 1), folder_.path() + "/kept");
    EXPECT_FALSE(window_->recentFolderItems[1]->isVisible());
    window_->OpenRecentFolder(1);
    EXPECT_EQ(window_->TreePath(), folder_.path() + "/kept");
    EXPECT_EQ(window_->Server().Folder(), (folder_.path() + "/kept").toStdString());
}

TEST_F(MainWindowTest, TransferStartPutsTheFolderOnTopOfTheRecentList)
{
    {
        auto reg = OpenSettings();
        for (int n = 1; n <= 9; ++n) reg->setValue(QString("ldir%1").arg(n), QString("/r%1").arg(n));
        reg->setValue("ldir5", folder_.path());
    }
    ASSERT_NO_FATAL_FAILURE(Start());
    window_->SetTransferBusy(true);
    window_->SetTransferBusy(true); // no change, no second shift
    const RecentSlots& r = window_->RecentFolders();
    EXPECT_EQ(Slot(r, 1), folder_.path());
    EXPECT_EQ(Slot(r, 2), "/r1");
    EXPECT_EQ(Slot(r, 5), "/r4");
    EXPECT_EQ(Slot(r, 6), "/r6");
    EXPECT_EQ(Slot(r, 8), "/r8");
    EXPECT_EQ(Slot(r, 9), "");
    EXPECT_FALSE(window_->recentFolderItems[0]->isEnabled()) << "disabled while a transfer starts";
    window_->SetTransferBusy(false);
}

TEST_F(MainWindowTest, HiddenKeySequenceRevealsTheLogCommands)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_FALSE(window_->logAction->isVisible());
    EXPECT_FALSE(window_->logButton->isVisibleTo(window_.get()));
    for (QChar c : QString("loLOGlo")) window_->LogKeyTyped(c);
    EXPECT_FALSE(window_->logAction->isVisible());
    window_->LogKeyTyped('x');
    window_->LogKeyTyped('l');
    window_->LogKeyTyped('o');
    EXPECT_FALSE(window_->logAction->isVisible());
    // Typed into the file list, which otherwise takes no keys.
    window_->SetConnState(StateConnected);
    window_->fileList->setFocus();
    QTest::keyClick(window_->fileList, 'g');
    EXPECT_TRUE(window_->logAction->isVisible());
    EXPECT_TRUE(WaitFor([this] { return window_->logButton->isVisible(); }, 5000));
    EXPECT_TRUE(window_->Log().isVisible());
    window_->Log().close();
    window_->LogKeyTyped('q'); // they stay visible
    EXPECT_TRUE(window_->logAction->isVisible());
}

TEST_F(MainWindowTest, HelpKeyRoutesByContext)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    window_->SetConnState(StateConnected);
    window_->folderTree->setFocus();
    window_->HelpKey();
    EXPECT_EQ(Help().LastRequest().kind, HelpSystem::Shown::Topic);
    EXPECT_EQ(Help().LastRequest().context, 125000);
    ASSERT_TRUE(Help().Window());
    EXPECT_TRUE(Help().Window()->source().toString().endsWith("folders.html"))
        << Help().Window()->source().toString().toStdString();
    EXPECT_FALSE(Help().Window()->toPlainText().isEmpty());

    // The help window took the focus; F1 comes from the main window again.
    auto backToWindow = [this] {
        if (Help().Window()) Help().Window()->close();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get(), 2000));
    };
    ASSERT_NO_FATAL_FAILURE(backToWindow());
    // The connection box has no hint of its own: the contents open.
    window_->connectionBox->setFocus();
    window_->HelpKey();
    EXPECT_EQ(Help().LastRequest().kind, HelpSystem::Shown::Contents);

    // A control with context 1 and a hint answers with its hint at its corner.
    ASSERT_NO_FATAL_FAILURE(backToWindow());
    window_->logButtonAction->setVisible(true);
    ASSERT_TRUE(WaitFor([this] { return window_->logButton->isVisible(); }, 5000));
    window_->logButton->setFocus();
    window_->HelpKey();
    EXPECT_EQ(Help().LastRequest().kind, HelpSystem::Shown::Popup);
    EXPECT_EQ(Help().LastRequest().text, "Show log window");
    EXPECT_EQ(Help().LastRequest().point, window_->logButton->mapToGlobal(QPoint(0, 0)));

    // Small contexts are pop-ups of the help file's text; large ones topics.
    window_->ShowContextPopup(QPoint(-5, 700), 7);
    EXPECT_EQ(Help().LastRequest().kind, HelpSystem::Shown::Popup);
    EXPECT_EQ(Help().LastRequest().point, QPoint(-5, 700));
    EXPECT_EQ(Help().LastRequest().text, "Help for this item is in the table of contents.");
    window_->ShowContextPopup(QPoint(-5, 700), 125001);
    EXPECT_EQ(Help().LastRequest().kind, HelpSystem::Shown::Topic);
    EXPECT_TRUE(Help().Window()->source().toString().endsWith("connect.html"));
    Help().Window()->close();
}

// The status bar shows a control's own hint, never with marks of the help system before it.
TEST_F(MainWindowTest, HintsAreTheControlsOwnWords)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(HintOf(window_->folderTree), "Select the folder for the T20, T20+, T20s, T30s Calcapps");
    EXPECT_EQ(HintOf(window_->statusBar()), "Last command");
    EXPECT_EQ(HintOf(window_->newFolderButton), "Create a new folder");
    EXPECT_EQ(HintOf(window_->logButton), "Show log window");
    QStringList marked;
    for (const QWidget* widget : window_->findChildren<QWidget*>())
        if (widget->statusTip().startsWith(u'?')) marked << widget->objectName() + ": " + widget->statusTip();
    for (const QAction* action : window_->findChildren<QAction*>())
        if (action->statusTip().startsWith(u'?')) marked << action->text() + ": " + action->statusTip();
    EXPECT_TRUE(marked.isEmpty()) << marked.join('\n').toStdString();
}

// The keyboard starts in the folder tree whatever the connection: a Space or Enter typed
// right after start reaches no tool button, so it cannot end the program.
TEST_F(MainWindowTest, FirstKeysAfterStartPressNoToolButton)
{
    for (const bool plugged : {false, true}) {
        SCOPED_TRACE(plugged ? "connected" : "disconnected");
        if (plugged) Device(true);
        ASSERT_NO_FATAL_FAILURE(Start());
        if (plugged) {
            ASSERT_NO_FATAL_FAILURE(WaitConnected());
        }
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get(), 5000));
        for (QToolButton* b : window_->toolBar->findChildren<QToolButton*>())
            EXPECT_EQ(b->focusPolicy(), Qt::NoFocus) << b->objectName().toStdString();
        QWidget* focused = QApplication::focusWidget();
        EXPECT_FALSE(qobject_cast<QToolButton*>(focused)) << "focus on " << focused->objectName().toStdString();
        if (plugged) {
            EXPECT_EQ(focused, window_->folderTree);
        }
        for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window_.get();
            QTest::keyClick(target, key);
        }
        QTest::keyClick(window_.get(), Qt::Key_Space);
        EXPECT_TRUE(window_->isVisible());
        EXPECT_EQ(endProcessCalls_, 0);
        window_->close();
        window_.reset();
        endProcessCalls_ = 0;
    }
}

// A file renamed in the list is deleted under its new name.
TEST_F(MainWindowTest, DeleteAfterRenameActsOnTheNewName)
{
    QFile file(folder_.path() + "/before.txt");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_NO_FATAL_FAILURE(Start());
    window_->SetConnState(StateConnected);
    auto* model = static_cast<QFileSystemModel*>(window_->fileList->model());
    QModelIndex item;
    ASSERT_TRUE(WaitFor(
        [&] {
            item = model->index(folder_.path() + "/before.txt");
            return item.isValid() && !window_->fileList->visualRect(item).isEmpty();
        },
        5000));
    QTest::mouseClick(window_->fileList->viewport(), Qt::LeftButton, {}, window_->fileList->visualRect(item).center());
    ASSERT_TRUE(WaitFor([&] { return window_->PickedPath() == folder_.path() + "/before.txt"; }, 2000));
    // What the in-place editor does when the new name is committed.
    ASSERT_TRUE(model->setData(item, QStringLiteral("after.txt")));
    ASSERT_TRUE(QFileInfo::exists(folder_.path() + "/after.txt"));
    EXPECT_EQ(window_->PickedPath(), folder_.path() + "/after.txt");
    window_->DeletePicked();
    ASSERT_EQ(dialogs_->confirms.size(), 1u);
    EXPECT_TRUE(dialogs_->confirms[0].contains("after.txt")) << dialogs_->confirms[0].toStdString();
    EXPECT_TRUE(dialogs_->messages.empty()) << dialogs_->messages.front().second.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder_.path() + "/after.txt"));
    EXPECT_TRUE(QFileInfo::exists(EnvRoot() + "/data/Trash/files/after.txt"));
}

// A delete that fails says why and, deleting nothing, leaves the selection (the
// transfer folder) where it was.
TEST_F(MainWindowTest, FailedDeleteSaysWhyAndKeepsTheSelection)
{
    struct Case {
        const char* name;
        std::function<void(const QString& folder)> spoil; // done just before the delete
        const char* reason;
        bool needsNonRoot;
    };
    const Case cases[] = {
        {"gone", [](const QString& folder) { QDir(folder).removeRecursively(); }, "it no longer exists", false},
        {"locked parent",
         [](const QString& folder) {
             QFile::setPermissions(QFileInfo(folder).absolutePath(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
         },
         "no permission to remove it from", true},
    };
    ASSERT_NO_FATAL_FAILURE(Start());
    window_->SetConnState(StateConnected);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsNonRoot && geteuid() == 0) {
            std::printf("skipped case \"%s\": permissions do not bind root\n", c.name);
            continue;
        }
        const QString parent = folder_.path() + "/" + c.name;
        const QString target = parent + "/victim";
        ASSERT_TRUE(QDir().mkpath(target));
        ASSERT_TRUE(WaitFor(
            [&] {
                try {
                    window_->SetTreePath(target);
                } catch (...) {
                    return false;
                }
                return window_->TreePath() == target;
            },
            5000));
        dialogs_->messages.clear();
        c.spoil(target);
        window_->DeletePicked();
        QFile::setPermissions(parent, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        ASSERT_EQ(dialogs_->messages.size(), 1u);
        EXPECT_EQ(dialogs_->messages[0].first, "Deleting Files");
        EXPECT_TRUE(dialogs_->messages[0].second.contains(c.reason)) << dialogs_->messages[0].second.toStdString();
        EXPECT_TRUE(dialogs_->messages[0].second.contains("nothing was deleted"));
        EXPECT_NE(window_->Server().Folder(), parent.toStdString()) << "the transfer folder did not move to the parent";
        EXPECT_EQ(window_->PickedPath(), target);
    }
}

// A signal ends the program with nobody to answer: the transfer is stopped unasked.
TEST_F(MainWindowTest, ExitWithoutAskingClosesDuringATransfer)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    window_->pollTimer->stop(); // only the transfer's own report may change the state
    window_->SetTransferBusy(true);
    ASSERT_TRUE(window_->TransferBusy());
    window_->ExitWithoutAsking();
    EXPECT_TRUE(dialogs_->confirms.empty());
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(endProcessCalls_, 1);
}

// A transfer's events reach the window through its session: the status dialog words
// them, and the log keeps each line once (from the events, not from the dialog).
TEST_F(MainWindowTest, TransferEventsReachTheDialogAndTheLogOnceEach)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    window_->pollTimer->stop(); // nothing else reports meanwhile
    const QStringList before = window_->Log().Lines();
    const TransferEventSink sink = window_->Server().EventSink();
    TransferEvent event;
    event.kind = TransferKind::KermitReceive;
    event.file = "PROG.CA";
    event.stage = TransferStage::Started;
    sink(event);
    TransferStatusDialog& dialog = window_->StatusDialog();
    EXPECT_TRUE(dialog.IsStatusVisible());
    EXPECT_EQ(dialog.windowTitle(), "Receiving PROG.CA");
    event.stage = TransferStage::Progress;
    event.done = 700;
    event.elapsedMs = 1000;
    sink(event);
    EXPECT_EQ(dialog.statusText->text(), "700 bytes\r\n699 bytes/s");
    event.stage = TransferStage::Ended;
    event.outcome = TransferOutcome::Failed;
    event.reason = TransferReason::LinkLost;
    event.detail = "the device went away";
    sink(event);
    EXPECT_FALSE(dialog.IsStatusVisible()) << "a failed Kermit transfer leaves the dialog";
    // The start and the end, not the progress.
    EXPECT_EQ(window_->Log().Lines().mid(before.size()),
              QStringList({"Receiving PROG.CA", "Receiving PROG.CA failed: the device went away"}));
}

// Every transfer gets its row in the transfers view (shown by the first one), with the
// failure's reason; the history file the next run reads holds it too.
TEST_F(MainWindowTest, TransfersGetTheirRowsAndAreKeptForTheNextRun)
{
    QFile::remove(TransferHistory::DefaultPath());
    ASSERT_NO_FATAL_FAILURE(Start());
    window_->pollTimer->stop();
    ASSERT_TRUE(TransferHistory::DefaultPath().startsWith(EnvRoot())) << "the test would write the user's history";
    EXPECT_FALSE(window_->transfersDock->isVisible());
    EXPECT_EQ(window_->History().Count(), 0);
    const TransferEventSink sink = window_->Server().EventSink();
    TransferEvent event;
    event.kind = TransferKind::KermitSend;
    event.file = "MISSING.CA";
    event.stage = TransferStage::Started;
    sink(event);
    EXPECT_TRUE(window_->transfersDock->isVisible()) << "the first transfer shows the transfers";
    EXPECT_TRUE(window_->transfersAction->isChecked());
    event.stage = TransferStage::Ended;
    event.outcome = TransferOutcome::Failed;
    event.reason = TransferReason::FileNotFound;
    sink(event);
    ASSERT_EQ(window_->History().Count(), 1);
    EXPECT_EQ(window_->History().CellText(0, TransferHistory::FileColumn), "MISSING.CA");
    EXPECT_EQ(window_->History().CellText(0, TransferHistory::DirectionColumn), "To calculator");
    EXPECT_EQ(window_->History().CellText(0, TransferHistory::OutcomeColumn), "Failed: the file does not exist");
    EXPECT_FALSE(window_->Log().Lines().filter("Sending MISSING.CA failed: the file does not exist").isEmpty());
    EXPECT_EQ(window_->statusPanel->text(), "Sending MISSING.CA failed: the file does not exist");

    // The View menu hides and shows the dock.
    window_->transfersAction->trigger();
    EXPECT_FALSE(window_->transfersDock->isVisible());
    window_->transfersAction->trigger();
    EXPECT_TRUE(window_->transfersDock->isVisible());

    TransferHistory next(TransferHistory::DefaultPath());
    next.Load();
    ASSERT_EQ(next.Count(), 1);
    EXPECT_EQ(next.Record(0).reason, TransferReason::FileNotFound);
    QFile::remove(TransferHistory::DefaultPath());
}

// "Stop it and exit?" asked while a transfer's dialog is up comes above it: the box is
// the dialog's child and stays on top too.
TEST_F(MainWindowTest, QuestionsDuringATransferComeAboveItsDialog)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    window_->pollTimer->stop();
    TransferEvent event;
    event.kind = TransferKind::WireReceive;
    event.stage = TransferStage::Started;
    window_->Server().EventSink()(event);
    TransferStatusDialog& dialog = window_->StatusDialog();
    ASSERT_TRUE(dialog.isVisible());
    StandardDialogs real(window_.get());
    QWidget* parent = nullptr;
    bool onTop = false;
    int tries = 0;
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            parent = box->parentWidget();
            onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            box->done(QMessageBox::No);
        }
        if (++tries > 500) answer.stop(); // never waits for good
    });
    answer.start();
    EXPECT_FALSE(real.Confirm("A transfer is in progress. Stop it and exit?", "Calvyx"));
    answer.stop();
    EXPECT_EQ(parent, &dialog);
    EXPECT_TRUE(onTop);
    dialog.HideStatus();
}

// The connection can be chosen without a mouse: the Connection menu lists the box's
// choices with the current one checked, Alt+U takes the keyboard to the box, and F10
// opens the menu bar.
TEST_F(MainWindowTest, ConnectionMenuMnemonicAndF10ReachTheConnection)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    window_->pollTimer->stop();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    const auto listed = [this] {
        emit window_->connectionMenu->aboutToShow();
        QStringList names;
        QStringList checked;
        for (QAction* action : window_->connectionMenu->actions()) {
            if (action->isSeparator()) continue;
            // "&2 COM1": numbered for a key of its own.
            const QString name = action->text().section(' ', 1);
            EXPECT_TRUE(action->text().startsWith('&')) << action->text().toStdString();
            names << name;
            if (action->isChecked()) checked << name;
        }
        return std::make_pair(names, checked);
    };
    auto [names, checked] = listed();
    QStringList box;
    for (int i = 0; i < window_->connectionBox->count(); ++i) box << window_->connectionBox->itemText(i);
    EXPECT_EQ(names, box);
    EXPECT_EQ(checked, QStringList({QString::fromStdString(window_->SelectedPort())}));

    // COM1 from the menu: it becomes the connection (it cannot be opened here, which is said).
    QAction* com1 = nullptr;
    for (QAction* action : window_->connectionMenu->actions())
        if (action->text() == "&2 COM1") com1 = action;
    ASSERT_NE(com1, nullptr);
    com1->trigger();
    EXPECT_EQ(window_->SelectedPort(), "COM1");
    EXPECT_EQ(window_->connectionBox->currentText(), "COM1");
    std::tie(names, checked) = listed();
    EXPECT_EQ(checked, QStringList({"COM1"})) << "one checked item, the new connection";

    EXPECT_EQ(window_->connectionLabel->buddy(), window_->connectionBox);
    window_->folderTree->setFocus();
    QTest::keyClick(window_.get(), Qt::Key_U, Qt::AltModifier);
    EXPECT_TRUE(window_->connectionBox->hasFocus()) << "Alt+U did not reach the connection box";

    QTest::keyClick(window_.get(), Qt::Key_F10);
    ASSERT_NE(window_->menuBar()->activeAction(), nullptr) << "F10 opened no menu";
    EXPECT_EQ(window_->menuBar()->activeAction(), window_->menuBar()->actions().first());
    if (QMenu* open = window_->menuBar()->activeAction()->menu()) open->close();
}

TEST_F(MainWindowTest, LogOpensFromTheViewMenuAndItsShortcut)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_TRUE(window_->viewLogAction->isVisible());
    EXPECT_EQ(window_->viewLogAction->shortcut(), QKeySequence("Ctrl+L"));
    EXPECT_FALSE(window_->Log().isVisible());
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    QTest::keyClick(window_.get(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(window_->Log().isVisible());
    EXPECT_EQ(window_->Log().windowTitle(), "Log");
    window_->Log().close();
}

} // namespace
} // namespace mwtest
