// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's life: construction, start-up and shutdown, the Qt events it answers
// and how a handler's error reaches the user. The other parts of the class are in
// MainWindowLayout.cpp, MainWindowConnection.cpp, MainWindowTransfers.cpp,
// MainWindowFolders.cpp and MainWindowHelp.cpp.
#include "mainwindow/MainWindow.h"

#include <cstdio>

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "link/PortName.h"
#include "mainwindow/CommandLine.h"
#include "mainwindow/HelpContext.h"
#include "mainwindow/MainSettings.h"
#include "mainwindow/MainWindowParts.h"
#include "mainwindow/SearchAnimation.h"
#include "services/TransferServer.h"
#include "util/MainThread.h"
#include "util/Settings.h"
#include "util/StringTable.h"
#include "util/Utils.h"
#include "windows/AboutDialog.h"
#include "windows/ErrorBox.h"
#include "windows/LogWindow.h"
#include "windows/ScreenCaptureWindow.h"
#include "windows/TransferHistory.h"
#include "windows/TransferStatusDialog.h"
#include "windows/TransferTexts.h"
#include "windows/WindowPlacement.h"

using namespace MainWindowParts;

namespace {

// Room for the folder tree, the four columns of the list beside it (MainWindowLayout.cpp)
// and a whole status message below them.
constexpr int WindowWidth = 780;
constexpr int WindowHeight = 500;
constexpr int WindowMinWidth = 350;
constexpr int WindowMinHeight = 375;
constexpr const char* StopTransferQuestion = QT_TRANSLATE_NOOP("MainWindow", "A transfer is in progress. Stop it and exit?");

// Texts from the message table use CR LF; a label shows LF.
QString Lines(const char* text) { return TranslatedText(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

} // namespace

MainWindow::MainWindow(std::function<void()> endProcess, QWidget* parent)
    : QMainWindow(parent), endProcess_(std::move(endProcess)), dialogs_(std::make_unique<StandardDialogs>(this))
{
    StartUp();
}

MainWindow::~MainWindow()
{
    StopCopies();
    // The session's transfers report to the status dialog: it goes first.
    captureHold_.reset();
    session_.reset();
    delete statusDialog_;
    delete log_;
    delete about_;
}

void MainWindow::SetDialogs(std::unique_ptr<UserDialogs> dialogs) { dialogs_ = std::move(dialogs); }

LogWindow& MainWindow::Log()
{
    if (!log_) log_ = new LogWindow;
    return *log_;
}

AboutDialog& MainWindow::About()
{
    if (!about_) {
        about_ = new AboutDialog;
        about_->SetMainWindow(this);
    }
    return *about_;
}

TransferStatusDialog& MainWindow::StatusDialog()
{
    if (!statusDialog_) {
        statusDialog_ = new TransferStatusDialog;
        statusDialog_->SetCenterForm(this);
    }
    return *statusDialog_;
}

// ---------------------------------------------------------------- start-up and shutdown

void MainWindow::StartUp()
{
    // One instance at a time: a second start brings the running window to the front,
    // with the connection named on its command line, and ends here.
    QString refusal;
    const SingleInstance::Outcome start = singleInstance_.Acquire(&refusal);
    if (start == SingleInstance::Outcome::Refused) {
        // Never a shared fallback: the user has to put the folder right first.
        refused_ = true;
        // Worded like the link's reasons (the folder, what to do), which are not translated.
        startRefusal_ = refusal;
        std::fprintf(stderr, "calvyx: %s\n", qPrintable(startRefusal_));
        return;
    }
    if (start == SingleInstance::Outcome::AlreadyRunning) {
        refused_ = true;
        SingleInstance::Request request;
        if (const auto port = PortFromArguments(ProgramArguments())) request.port = Q(*port);
        if (!SingleInstance::NotifyRunning(request))
            std::fprintf(stderr, "calvyx: %s\n", qPrintable(tr("Calvyx is already running, but its window did not answer.")));
        if (endProcess_) endProcess_();
        return;
    }
    QString listenError;
    if (!singleInstance_.Listen([this](const SingleInstance::Request& request) { SecondStartArrived(request); }, &listenError))
        std::fprintf(stderr, "calvyx: %s\n", qPrintable(tr("a second start cannot reach this window: %1").arg(listenError)));
    setWindowTitle(tr(Caption));
    resize(WindowWidth, WindowHeight);
    setMinimumSize(WindowMinWidth, WindowMinHeight);
    SetHelpContext(this, HelpContextMain);
    BuildToolBar();
    BuildMenus();
    BuildViews();
    BuildTransfersView();

    pollTimer = new QTimer(this);
    pollTimer->setInterval(PollIntervalMs);
    connect(pollTimer, &QTimer::timeout, this, [this] { Guarded([this] { Poll(); }); });
    aboutTimer = new QTimer(this);
    aboutTimer->setInterval(AboutFirstTickMs);
    connect(aboutTimer, &QTimer::timeout, this, [this] { Guarded([this] { AboutTimerTick(); }); });
    windowPlacement = new WindowPlacement(this, QStringLiteral("Connectivity"));

    logButtonAction->setVisible(false);
    FillConnectionBox();
    captureRequested_ = false;
    startingUp_ = true;
    selectedPort_ = UsbDeviceName;
    ApplyPortParameter();
    logAction->setVisible(false);
    logKeysTyped_ = 0;
    pickedPath_.clear();
    // The windows keep their placement at the top of the program's store.
    PublishSettingsProfile({});

    // The session follows the device on the poll's beat, and looks at an open line only
    // once the calculator has been quiet for a while.
    session_ = std::make_unique<CalculatorSession>(TransferHost{this, &StatusDialog()},
                                                   SessionSupervision{PollIntervalMs, QuietRecheckMs});
    connect(session_.get(), &CalculatorSession::Event, this, [this](const SessionEvent& event) {
        Guarded([&] {
            if (const auto* transfer = std::get_if<TransferEvent>(&event)) {
                FollowTransfer(*transfer);
                TransferEvent logged = *transfer;
                // The end's line says the bytes the history counted.
                if (RecordTransfer(*transfer)) logged.total = History().Record(History().Count() - 1).size;
                LogTransferEvent(logged);
                // A failure is said in the status bar too, until the next status.
                if (transfer->stage == TransferStage::Ended && transfer->outcome == TransferOutcome::Failed)
                    if (const auto line = TransferLogLine(logged)) statusPanel->setText(*line);
            } else if (const auto* link = std::get_if<LinkEvent>(&event))
                LinkChanged(*link);
            else if (const auto* activity = std::get_if<ActivityEvent>(&event))
                KermitActivity(activity->busy);
            else if (std::holds_alternative<ScreenPushEvent>(event) && !captureHold_)
                captureHold_ = session_->HoldLink(); // the link waits for the capture window
            // The state follows at once, not at the next poll.
            ShowConnState();
        });
    });
    Server().SetOnServerStatus([this](const ServerStatus& status) { ShowServerStatus(status); });

    promptLabel->setText(Lines(Str::Disconnected));
    searchAnimation->hide();
    searchAnimation->Stop();
    connState_ = StateUnset;
    SetConnState(StateDisconnected);
    Guarded([this] { windowPlacement->RestorePositions(true, true); });
    LoadSettings();
    EnsureCaptureWindow();
    pollTimer->start();
}

void MainWindow::ApplyPortParameter()
{
    // The box keeps showing its first item whatever the parameter chose.
    if (const auto port = PortFromArguments(ProgramArguments())) selectedPort_ = *port;
}

void MainWindow::LoadSettings()
{
    const MainSettings settings = ReadMainSettings(QDir::currentPath());
    try {
        if (DirExists(S(settings.dir))) SetTreePath(settings.dir);
    } catch (const std::exception&) {
        // A folder the tree cannot show is not applied.
    }
    treeWidth_ = settings.dirWidthSplit;
    recentFolders_ = settings.recent;
    NormalizeRecent(ControlsFor(connState_, connectionBox->currentIndex() == 0).recentEnabled);
    // The restored folder becomes the transfer folder.
    FolderChanged();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shown_ && !event->spontaneous()) {
        shown_ = true;
        FirstShown();
    }
}

void MainWindow::FirstShown()
{
    PlacePrompt();
    // The keyboard starts in the folder tree, where typing picks folders.
    folderTree->setFocus(Qt::OtherFocusReason);
    startingUp_ = false;
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) ShowAboutOnce();
}

void MainWindow::ShowAboutOnce()
{
    if (startupAboutDone_) return;
    startupAboutDone_ = true;
    aboutStep_ = 0;
    aboutTimer->setInterval(AboutFirstTickMs);
    aboutTimer->start();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (refused_) {
        event->accept();
        return;
    }
    if (exitAfterTransfer_ && LinkReserved()) {
        // Already asked: the window closes as soon as the stopped transfer has returned.
        event->ignore();
        return;
    }
    // In the wait after a transfer nothing runs that closing could cut short.
    if (transferBusy_ && !waitingForCalculator_ && !exitAfterTransfer_) {
        // Closing under a running transfer would leave the calculator waiting for the
        // rest of it.
        if (!stopWithoutAsking_ && !dialogs_->Confirm(tr(StopTransferQuestion), tr(Caption))) {
            event->ignore();
            return;
        }
        if (LinkReserved()) {
            // A receive by wire or a ROM load of this window waits below this event.
            // The receive is cancelled (the calculator is told), the ROM stream stops
            // before its next chunk; the close comes back when the command has returned.
            exitAfterTransfer_ = true;
            session_->CancelTransfer();
            event->ignore();
            return;
        }
        // A Kermit transfer: letting the port go ends it the way the calculator
        // understands (on a serial line the engine sends its E packet).
        session_->Disconnect();
    }
    ShutDown();
    event->accept();
    if (endProcess_) endProcess_();
}

void MainWindow::CloseIfExitPending()
{
    if (exitAfterTransfer_) QTimer::singleShot(0, this, [this] { close(); });
}

void MainWindow::ShutDown()
{
    pollTimer->stop();
    aboutTimer->stop();
    StopCopies();
    try {
        captureHold_.reset();
        session_->Disconnect();
    } catch (const std::exception&) {
        // Closing never fails in a way the user could act on.
    }
    MainSettings settings;
    settings.dirWidthSplit = TreeWidth();
    settings.dir = TreePath();
    settings.recent = recentFolders_;
    WriteMainSettings(settings);
    if (log_) log_->close();
    if (captureWindow_) captureWindow_->close();
    windowPlacement->SavePositions();
    // The process ends without tearing the window down: the start-up lock and its socket
    // go now, or they would stay in the runtime folder.
    singleInstance_.Release();
}

void MainWindow::Exit() { close(); }

void MainWindow::ExitWithoutAsking()
{
    stopWithoutAsking_ = true;
    close();
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    PlacePrompt();
}

// ---------------------------------------------------------------- events

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    for (QChar c : event->text()) LogKeyTyped(c);
    QMainWindow::keyPressEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Installed on the application, this window answers every help request.
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            Guarded([this] { HelpKey(); });
            return true;
        }
        // Backspace and Alt+Up go to the parent folder from either view.
        if ((watched == folderTree || watched == fileList) && !static_cast<ShellView*>(watched)->Editing() &&
            ((key->key() == Qt::Key_Backspace && key->modifiers() == Qt::NoModifier) ||
             (key->key() == Qt::Key_Up && key->modifiers() == Qt::AltModifier))) {
            Guarded([this] { OpenParentFolder(); });
            return true;
        }
        // The Menu key and Shift+F10 open the view's context menu for its current item.
        if ((watched == folderTree || watched == fileList) && !static_cast<ShellView*>(watched)->Editing() &&
            (key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier))) {
            auto* view = static_cast<ShellView*>(watched);
            const QModelIndex current = view->currentIndex();
            const QRect rect = current.isValid() ? view->visualRect(current.siblingAtColumn(0)) : QRect();
            // Beside the items when none is current (or it is scrolled away): the list's folder.
            const QPoint at = rect.isValid() && view->viewport()->rect().contains(rect.center()) ? rect.center() : QPoint(1, 1);
            Guarded([this, view, at] { ShowFolderMenu(view, at); });
            return true;
        }
        if (watched == fileList || watched == logButton) {
            for (QChar c : key->text()) LogKeyTyped(c);
            // The list takes its own few keys (see ListKey); typing does nothing else there.
            if (watched == fileList && !fileList->Editing()) {
                bool passOn = false;
                Guarded([this, key, &passOn] { passOn = ListKey(*key); });
                return !passOn;
            }
            return false;
        }
        if (watched == folderTree && key->key() == Qt::Key_F2 && !folderTree->Editing()) {
            // F2 renames the tree's folder, whatever was picked in the list before.
            pickedPath_ = TreePath();
            Guarded([this] { RenamePicked(); });
            return true;
        }
        if (watched == folderTree && key->key() == Qt::Key_Delete && !folderTree->Editing()) {
            // The key deletes what the tree shows selected, whatever was picked in the
            // list before; the menu command keeps acting on the last pick.
            pickedPath_ = TreePath();
            Guarded([this] { DeletePicked(); });
            return true;
        }
    }
    if (fileList && watched == fileList->viewport() && event->type() == QEvent::MouseButtonPress) {
        // A press beside the items still picks the selected one.
        QTimer::singleShot(0, this, [this] { ListPicked(); });
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- error reporting

void MainWindow::Guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        ReportError(e.what());
    }
}

void MainWindow::ReportError(const std::string& message) { ShowApplicationError(Q(message), this); }
