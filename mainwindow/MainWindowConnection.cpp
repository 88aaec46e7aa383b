// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's hold on the link: the connection box, the poll that keeps the link
// open and the Kermit server running, the three connection states and the controls each
// offers, the Kermit server's activity, and the host interface the transfers report to.
#include "mainwindow/MainWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <utility>

#include "kermit/KermitServer.h"
#include "link/LinkErrors.h"
#include "link/PortName.h"
#include "link/UsbDevices.h"
#include "link/UsbPipes.h"
#include "mainwindow/CommandLine.h"
#include "mainwindow/MainWindowParts.h"
#include "mainwindow/SearchAnimation.h"
#include "mainwindow/SerialPortNames.h"
#include "services/TransferServer.h"
#include "util/MainThread.h"
#include "util/Ticks.h"
#include "windows/CalculatorSetupDialog.h"
#include "windows/ConnectionReportDialog.h"
#include "windows/LogWindow.h"
#include "windows/ScreenCaptureWindow.h"
#include "windows/TransferStatusDialog.h"
#include "windows/TransferTexts.h"

using namespace MainWindowParts;

namespace {

// The first byte of a pushed screen, taken off the link by the Kermit server.
constexpr char ScreenStartByte = '\x80';

// Calls back once, from the event loop, when the dialog it watches is hidden or gone.
class DialogEndWatch : public QObject {
public:
    DialogEndWatch(QWidget* dialog, QObject* parent, std::function<void()> ended) : QObject(parent), ended_(std::move(ended))
    {
        dialog->installEventFilter(this);
        connect(dialog, &QObject::destroyed, this, [this] { End(); });
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Hide) End();
        return false;
    }

private:
    void End()
    {
        if (done_) return;
        done_ = true;
        QTimer::singleShot(0, parent(), ended_);
        deleteLater();
    }

    std::function<void()> ended_;
    bool done_ = false;
};

// A dialog the user has in front (a modal window, or an open menu), whose own event
// loop any new dialog would run inside.
QWidget* OpenDialog()
{
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activePopupWidget();
}

} // namespace

void MainWindow::FillConnectionBox()
{
    connectionBox->addItems({Q(UsbDeviceName), QStringLiteral("COM1"), QStringLiteral("COM2")});
    // Serial adapters of this machine after the fixed names; /dev/ttySn is COM(n+1).
    QStringList extra;
    for (const QString& name : SerialPortNames())
        if (connectionBox->findText(name) < 0 && !extra.contains(name)) extra << name;
    extra.sort();
    connectionBox->addItems(extra);
    // Calculators found on the bus, by their ids, after everything else.
    for (const UsbCandidate& c : ListUsbCandidates(ReadCalculatorIds())) {
        const QString name = Q(UsbIdName(c.id));
        if (c.match != UsbMatch::None && connectionBox->findText(name) < 0) connectionBox->addItem(name);
    }
    connectionBox->setCurrentIndex(0);
}

void MainWindow::FillConnectionMenu()
{
    connectionMenu->clear();
    auto* group = new QActionGroup(connectionMenu);
    group->setExclusive(true);
    bool currentListed = false;
    // Numbered like the recent folders, so that each has a key: "&1 QVxT0+".
    auto numbered = [](int n, const QString& name) {
        QString escaped = name;
        escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
        return (n <= 9 ? QStringLiteral("&%1 ") : QStringLiteral("%1 ")).arg(n) + escaped;
    };
    for (int item = 0; item < connectionBox->count(); ++item) {
        QAction* action = connectionMenu->addAction(numbered(item + 1, connectionBox->itemText(item)));
        action->setCheckable(true);
        action->setActionGroup(group);
        const bool current = S(connectionBox->itemText(item)) == selectedPort_;
        currentListed = currentListed || current;
        action->setChecked(current);
        // Not while a transfer has the link, as the box.
        action->setEnabled(connectionBox->isEnabled());
        connect(action, &QAction::triggered, this, [this, item] {
            Guarded([this, item] {
                connectionBox->setCurrentIndex(item);
                ConnectionChosen();
            });
        });
    }
    if (!currentListed) {
        // A connection named on the command line that the box does not list.
        connectionMenu->addSeparator();
        QAction* action = connectionMenu->addAction(numbered(connectionBox->count() + 1, Q(selectedPort_)));
        action->setCheckable(true);
        action->setChecked(true);
        action->setEnabled(false);
    }
}

void MainWindow::ShowServerStatus(const ServerStatus& status)
{
    statusPanel->setText(ShownServerStatus(status));
    ProcessPendingEvents();
}

TransferServer& MainWindow::Server() { return session_->Transfers(); }

void MainWindow::Poll()
{
    if (startingUp_) return;
    pollTimer->stop(); // a poll never runs inside another one
    struct Restart {
        QTimer* timer;
        ~Restart() { timer->start(); }
    } restart{pollTimer};

    // The session follows the chosen port from the first poll on: it opens it when the
    // device is there, lets it go when it leaves, and serves it.
    if (!following_) {
        following_ = true;
        session_->Follow(selectedPort_);
    }
    if (captureRequested_.exchange(false)) RunCaptureWindow(ByteString(1, ScreenStartByte));
    ShowConnState();
}

void MainWindow::LinkChanged(const LinkEvent& event)
{
    // A port that cannot be opened is logged once per choice, as it is shown.
    const bool repeated =
        (event.change == LinkEvent::Change::Unavailable || event.change == LinkEvent::Change::Refused) && portErrorShown_;
    if (const auto line = LinkLogLine(event); line && !repeated) AppendToLog(*line);
    switch (event.change) {
    case LinkEvent::Change::HungUp: {
        terminalHungUp_ = true;
        ShowConnState();
        const QString text = tr("%1 hung up and stays closed: a pseudo-terminal is not opened again by itself, its "
                                "number may belong to another program now. Choose the connection again to reopen it.")
                                 .arg(Q(event.port));
        AppendToLog(text);
        statusPanel->setText(text);
        return;
    }
    case LinkEvent::Change::Unavailable:
        // Shown once per connection choice; the session goes on trying (a serial adapter
        // plugged in later is then found).
        if (!portErrorShown_) {
            portErrorShown_ = true;
            ShowConnectionError(Q(event.detail), this);
        }
        return;
    case LinkEvent::Change::Refused:
        // Pipes that another user could have made are not the calculator: the user hears
        // why, once per connection choice, as for a port that cannot be opened.
        if (!portErrorShown_) {
            portErrorShown_ = true;
            ShowConnectionError(Q(OpenErrorText(selectedPort_, event.detail)), this);
        }
        return;
    default:
        ShowConnState();
        return;
    }
}

void MainWindow::ShowConnState()
{
    // A Kermit server stopped in the middle of a transfer, or before it reported itself
    // idle again (a pushed screen ends it), never reports that it is idle: its busy
    // flag goes with it, or the window would stay busy for good.
    if (kermitBusy_ && !Server().KermitServerRunning()) {
        kermitBusy_ = false;
        transferBusy_ = false;
        SetWaitingForCalculator(false);
    }
    if (Server().PortName().empty())
        SetConnState(StateDisconnected);
    else if (transferBusy_ || (statusDialog_ && statusDialog_->IsStatusVisible()))
        SetConnState(StateBusy);
    else
        SetConnState(StateConnected);
}

void MainWindow::SecondStartArrived(const SingleInstance::Request& request)
{
    if (!waitingStart_)
        waitingStart_ = request;
    else if (request.port)
        waitingStart_->port = request.port; // a plain "show" keeps the port asked for before
    AnswerWaitingStart();
}

void MainWindow::AnswerWaitingStart()
{
    if (!waitingStart_ || answeringStart_ || startWaitsFor_) return;
    if (QWidget* dialog = OpenDialog()) {
        startWaitsFor_ = new DialogEndWatch(dialog, this, [this] {
            startWaitsFor_ = nullptr;
            AnswerWaitingStart();
        });
        return;
    }
    const SingleInstance::Request request = *std::exchange(waitingStart_, std::nullopt);
    answeringStart_ = true;
    Guarded([this, &request] { AnotherStart(request); });
    answeringStart_ = false;
    // Requests that came while it was answered (its error box, the events that showing
    // a status lets through) were merged; they follow from the event loop.
    if (waitingStart_) QTimer::singleShot(0, this, [this] { AnswerWaitingStart(); });
}

void MainWindow::AnotherStart(const SingleInstance::Request& request)
{
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    QString text = tr("Calvyx was started again; this window is the one running.");
    if (request.port) {
        const auto port = PortFromArgument(*request.port);
        if (!port) {
            text = tr("Calvyx was started again with \"%1\", which is not a connection; the connection stays %2.")
                       .arg(*request.port, Q(selectedPort_));
        } else if (UpperCasePortName(*port) == UpperCasePortName(selectedPort_) && !terminalHungUp_) {
            // Nothing to change: a reconnection would only cut a transfer short.
            text = tr("Calvyx was started again with %1, which is already the connection.").arg(Q(*port));
        } else if (LinkReserved() || transferBusy_) {
            // The log keeps the whole sentence; the status bar has room for a short one.
            AppendToLog(tr("Calvyx was started again with %1; a transfer is running, so the connection stays %2.")
                            .arg(Q(*port), Q(selectedPort_)));
            statusPanel->setText(waitingForCalculator_ ? tr("Not switched to %1: waiting for the calculator").arg(Q(*port))
                                                       : tr("Not switched to %1: a transfer is running").arg(Q(*port)));
            return;
        } else {
            int item = connectionBox->findText(Q(*port));
            if (item < 0) {
                connectionBox->addItem(Q(*port));
                item = connectionBox->count() - 1;
            }
            connectionBox->setCurrentIndex(item);
            text = tr("Calvyx was started again with %1; it is now the connection.").arg(Q(*port));
            AppendToLog(text);
            try {
                ConnectionChosen();
            } catch (const std::exception& e) {
                // Shown as for a choice in the box; the status bar still tells the request.
                statusPanel->setText(text);
                ReportError(e.what());
                return;
            }
            statusPanel->setText(text);
            return;
        }
    }
    AppendToLog(text);
    statusPanel->setText(text);
}

void MainWindow::ConnectionChosen()
{
    // Choosing one calculator ends the class view (it has every calculator's link).
    if (classMode_) ShowClassView(false);
    UpdateControls();
    session_->Disconnect();
    selectedPort_ = S(connectionBox->currentText());
    terminalHungUp_ = false; // picked again: the user opens it knowingly
    portErrorShown_ = true;  // an error of this choice is shown here, not again by the session
    following_ = true;
    session_->Connect(selectedPort_); // raises when it cannot be opened; the session keeps trying
    portErrorShown_ = false;
    UpdateControls();
    const bool usb = connectionBox->currentIndex() == 0;
    receiveButton->setEnabled(usb);
    receiveAction->setEnabled(usb);
}

void MainWindow::SetConnState(int state)
{
    if (state == connState_) return;
    connState_ = state;
    if (state == StateDisconnected) ShowServerStatus({});
    UpdateControls();
}

void MainWindow::UpdateControls()
{
    const ControlStates c = ControlsFor(connState_, connectionBox->currentIndex() == 0);
    // The views show and hide with their splitter; the tree keeps its width meanwhile.
    const bool wasHidden = folderSplitter->isHidden();
    const bool treeWasUsable = folderTree->isVisible() && folderTree->isEnabled();
    if (!wasHidden) treeWidth_ = folderSplitter->sizes().value(0, treeWidth_);
    folderSplitter->setVisible(c.treeVisible && c.listVisible);
    if (wasHidden && !folderSplitter->isHidden()) {
        folderSplitter->setSizes({treeWidth_, std::max(1, folderSplitter->width() - treeWidth_)});
    }
    folderTree->setEnabled(c.treeEnabled);
    folderSplitter->setEnabled(c.splitterEnabled);
    promptLabel->setVisible(c.promptVisible);
    fileList->setEnabled(c.listEnabled);
    connectionBox->setEnabled(c.comboEnabled);
    searchAnimation->setVisible(c.animationPlaying);
    if (c.animationPlaying) {
        searchAnimation->raise();
        searchAnimation->Play();
    } else {
        searchAnimation->Stop();
    }
    captureAction->setEnabled(c.captureEnabled);
    captureButton->setEnabled(c.captureEnabled);
    for (QAction* a : {newFolderAction, deleteAction, renameAction}) a->setEnabled(c.folderCommandsEnabled);
    newFolderButton->setEnabled(c.folderCommandsEnabled);
    receiveButton->setEnabled(c.usbCommandsEnabled);
    receiveAction->setEnabled(c.usbCommandsEnabled);
    sendRomAction->setEnabled(c.usbCommandsEnabled);
    NormalizeRecent(c.recentEnabled);
    // The tree becomes usable on connection: the keyboard goes to it unless a control
    // that is still shown has it.
    if (!treeWasUsable && folderTree->isVisible() && folderTree->isEnabled() && (!focusWidget() || !focusWidget()->isVisible()))
        folderTree->setFocus(Qt::OtherFocusReason);
}

void MainWindow::KermitActivity(bool busy)
{
    // Busy: a transfer begins. Idle: 4 s have passed since the last one ended without
    // another one: the wait is over.
    SetWaitingForCalculator(false);
    transferBusy_ = busy;
    kermitBusy_ = transferBusy_;
    if (transferBusy_) {
        SetConnState(StateBusy);
        AddRecentFolder(false);
    } else {
        SetConnState(StateConnected);
    }
}

void MainWindow::SetTransferBusy(bool busy)
{
    if (busy == transferBusy_) return;
    transferBusy_ = busy;
    if (busy) AddRecentFolder(false);
    // At once, not at the next poll: the transfer's wait serves events, and the
    // connection box or a command must not be usable meanwhile.
    ShowConnState();
}

void MainWindow::SetWaitingForCalculator(bool on)
{
    if (on == waitingForCalculator_) return;
    waitingForCalculator_ = on;
    waitPanel->setVisible(on);
}

void MainWindow::FollowTransfer(const TransferEvent& event)
{
    // The window's own transfers (the wire receive, the ROM load) are followed by no wait.
    if (event.kind == TransferKind::WireReceive || event.kind == TransferKind::RomLoad) return;
    if (event.stage == TransferStage::Started)
        SetWaitingForCalculator(false);
    else if (event.stage == TransferStage::Ended)
        SetWaitingForCalculator(kermitBusy_ && Server().KermitServerRunning());
}

bool MainWindow::RefusedWhileLinkBusy()
{
    if (LinkReserved() || (transferBusy_ && !waitingForCalculator_)) {
        statusPanel->setText(tr("A transfer is running; try again after it"));
        return true;
    }
    if (waitingForCalculator_) {
        statusPanel->setText(tr("Waiting for the calculator; try again shortly"));
        return true;
    }
    return false;
}

void MainWindow::RequestScreenCapture()
{
    // From the Kermit engine's thread: the capture window opens from a poll, now rather
    // than at the next beat. A poll that is running takes it at its end instead.
    captureRequested_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (pollTimer->isActive() && !startingUp_) Guarded([this] { Poll(); });
        },
        Qt::QueuedConnection);
}

// ---------------------------------------------------------------- IHostWindows

bool MainWindow::InstructionsVisible() { return dialogs_->InstructionsVisible(); }

void MainWindow::FocusInstructions() { dialogs_->FocusInstructions(); }

void MainWindow::ShowMessage(const std::string& text, const std::string& caption)
{
    dialogs_->ShowMessage(Q(text), Q(caption), false);
}

std::optional<std::string> MainWindow::ChooseFileToSend(const std::string& title, const std::string& initialPath)
{
    // Unattended use (scripts, the demo): the file named here answers every request.
    if (const QString preset = qEnvironmentVariable("CALVYX_XMODEM_FILE"); !preset.isEmpty()) return S(preset);
    const auto path = dialogs_->AskOpenFile(Q(title), QFileInfo(Q(initialPath)).path(), tr("All Files (*)"));
    if (!path) return std::nullopt;
    return S(*path);
}

std::unique_ptr<IStatusDialog> MainWindow::CreateStatusDialog()
{
    auto dialog = std::make_unique<TransferStatusDialog>(nullptr);
    dialog->SetCenterForm(this);
    return dialog;
}

void MainWindow::FocusMainWindow()
{
    raise();
    activateWindow();
}
