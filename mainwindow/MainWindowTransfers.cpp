// SPDX-License-Identifier: GPL-3.0-or-later
// The transfers the PC starts rather than the calculator: receiving an object by wire,
// loading a ROM, and the screen capture window. Each keeps the link for itself while
// it runs (see LinkReservation).
#include "mainwindow/MainWindow.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>

#include "kermit/KermitServer.h"
#include "link/Link.h"
#include "link/PortName.h"
#include "link/Trace.h"
#include "mainwindow/MainWindowParts.h"
#include "services/CalculatorClass.h"
#include "services/ObjectName.h"
#include "services/RomSender.h"
#include "services/TransferServer.h"
#include "util/CalvyxError.h"
#include "util/MainThread.h"
#include "util/StringTable.h"
#include "util/Ticks.h"
#include "util/Utils.h"
#include "windows/LogWindow.h"
#include "windows/ScreenCaptureWindow.h"
#include "windows/TransferHistory.h"
#include "windows/TransferStatusDialog.h"
#include "windows/TransferTexts.h"

using namespace MainWindowParts;

namespace {

constexpr const char* ReceiveTitle = QT_TRANSLATE_NOOP("MainWindow", "Receive file from T20, T20+, T20s, T30s (By Wire)");
constexpr const char* DiscardQuestion =
    QT_TRANSLATE_NOOP("MainWindow", "Discard the received object? It has not been saved anywhere.");

} // namespace

void MainWindow::EnsureCaptureWindow()
{
    if (!captureWindow_) captureWindow_ = new ScreenCaptureWindow(this);
    // The window reads screens through readers its session lends, and asks the session
    // whether the calculator is there.
    captureWindow_->SetReaderSource([this] { return session_->LendScreenReader(); });
    captureWindow_->SetPresenceCheck([this] { return session_->DevicePresent(); });
    captureWindow_->SetSaveFolder([this] { return Q(Server().Folder()); });
}

bool MainWindow::RefusedInClassMode()
{
    if (!classMode_) return false;
    // The class view has every calculator's link; this window has none to use.
    statusPanel->setText(tr("Class view: close the Class window to use one calculator"));
    return true;
}

void MainWindow::ShowCaptureWindow()
{
    // A command's transfer has the link (its wait serves events), or a Kermit transfer.
    if (RefusedWhileLinkBusy() || RefusedInClassMode()) return;
    RunCaptureWindow(ByteString());
}

void MainWindow::RunCaptureWindow(const ByteString& prefix)
{
    {
        LinkReservation reserve(*this);
        captureHold_.reset(); // the pushed screen's hold: the reservation has the link now
        EnsureCaptureWindow();
        ShowConnState(); // the state behind the capture window, while it is open
        // The link is the capture window's while it is open: the calculator's pushes get
        // no answer meanwhile, and the status bar says so instead of "Device connected".
        statusPanel->setText(tr("Screen capture window is listening; files wait until it closes"));
        captureWindow_->ShowCapture(prefix);
    }
    // The reservation's end gave the link back: the session opened it again (the capture
    // closes it) and serves the calculator's files at once.
    statusPanel->setText(ShownServerStatus(Server().Status()));
    ShowConnState();
}

void MainWindow::ReceiveByWire(bool askFirst)
{
    // A transfer's wait serves events: a click that arrives meanwhile must not start a
    // second transfer on the same link.
    if (RefusedWhileLinkBusy() || RefusedInClassMode()) return;
    const QString folder = Server().KermitServerRunning() ? Q(Server().Kermit()->Folder()) : QStringLiteral(".");
    bool present = true;
    if (Server().LinkKindOpen() == LinkKind::Usb) present = session_->DevicePresent();
    if (askFirst && (!present || !dialogs_->ShowInstructions(SetupInstructions::SendCalcappByWire))) return;

    LinkReservation reserve(*this);
    if (session_->Port().empty()) return;
    {
        struct Idle {
            MainWindow* window;
            ~Idle() { window->SetTransferBusy(false); }
        } idle{this};
        SetTransferBusy(true);
        ProcessPendingEvents();
        // An exit answered meanwhile stops the receive before it begins. The session
        // opens its port first when it is closed (raising when it cannot).
        if (!exitAfterTransfer_) session_->ReceiveObject(Str::SendByWire, 0);
    }
    if (exitAfterTransfer_) {
        // The user stopped the receive to exit: nothing is asked any more.
        Server().DiscardReceivedData();
        CloseIfExitPending();
        return;
    }
    if (Server().ReceivedData().empty() && !Server().LastReceiveError().empty()) {
        // The dialog said it while it closed; a receive cut off must not pass unnoticed.
        TellOutcome(tr("Receive by wire failed: %1").arg(Q(Server().LastReceiveError())), Q(ReceiveTitle), true);
    }
    if (!Server().ReceivedData().empty()) {
        const QByteArray object(Server().ReceivedData().data(), static_cast<qsizetype>(Server().ReceivedData().size()));
        // The object's own name, else when it came: several unnamed objects received
        // one after the other do not propose the same file.
        const QString name = HeaderObjectName(object).value_or(
            QStringLiteral("Calcapp-%1").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
        QString proposed = folder + QLatin1Char('/') + name;
        // A file that cannot be written (a full disk, a folder without permission) is
        // reported and the dialog comes back with the same name, so that the object can
        // go elsewhere: it exists nowhere but here. For the same reason cancelling asks
        // before the object is discarded; No brings the dialog back.
        for (;;) {
            const auto path = dialogs_->AskSaveFile(tr(ReceiveTitle), proposed);
            if (!path) {
                if (dialogs_->Confirm(tr(DiscardQuestion), tr(ReceiveTitle))) break;
                continue;
            }
            try {
                WriteStringToFile(Server().ReceivedData(), S(*path));
                break;
            } catch (const CalvyxError& e) {
                ReportError(e.what());
                proposed = *path;
            }
        }
    }
    Server().DiscardReceivedData();
}

void MainWindow::SendRom()
{
    if (RefusedWhileLinkBusy() || RefusedInClassMode()) return; // see ReceiveByWire
    struct Idle {
        MainWindow* window;
        bool armed = true;
        ~Idle()
        {
            if (armed) window->SetTransferBusy(false);
            // An exit asked for during the load happens now that it is over.
            window->CloseIfExitPending();
        }
    } idle{this};
    const QString filters = tr("ROM %1 (*.bin *.BIN);;%2 (*)").arg(TranslatedText(Str::Files), TranslatedText(Str::AllFiles));
    const auto file = dialogs_->AskOpenFile(TranslatedText(Str::DownloadRom), TreePath(), filters);
    if (!file) return;
    const std::string path = S(QDir::toNativeSeparators(QFileInfo(*file).absoluteFilePath()));
    // The file is checked before the user puts the calculator into its ROM-load mode:
    // a file that cannot be a ROM must not cost a calculator reset.
    if (const auto problem = RomFileProblem(path)) {
        TellRomFailure(path, *problem);
        return;
    }
    if (!dialogs_->ShowInstructions(SetupInstructions::LoadRom)) return;

    // The ROM load needs the link for itself, from the opening on.
    LinkReservation reserve(*this);
    bool opened = false;
    try {
        opened = session_->OpenForRom(S(connectionBox->currentText()));
    } catch (...) {
        idle.armed = false; // the flag was never set
        throw;
    }
    if (!opened) return;
    const bool loaded = session_->SendRom(path);
    // Stopped to exit: the user knows, and the window is about to close.
    if (exitAfterTransfer_) return;
    if (loaded) {
        TellOutcome(tr("ROM loaded: %1").arg(ShownSize(QFileInfo(*file).size())), TranslatedText(Str::DownloadRom), false);
        return;
    }
    TellRomFailure(path, Server().LastRomError());
}

void MainWindow::TellRomFailure(const std::string& path, const std::string& why)
{
    QString text = TranslatedText(Str::DownloadFailed);
    text.replace(QStringLiteral("%s"), Q(path));
    if (!why.empty()) text += QStringLiteral("\n\n") + Q(why);
    AppendToLog(tr("ROM load failed: %1").arg(why.empty() ? Q(path) : Q(why)));
    // The load's dialog keeps its last text for this message, and goes before it.
    if (statusDialog_) text = statusDialog_->CloseInto(text);
    dialogs_->ShowMessage(text, TranslatedText(Str::DownloadError), true);
}

void MainWindow::TellOutcome(const QString& text, const QString& caption, bool failure)
{
    AppendToLog(text);
    // A failure closes the transfer's dialog (a receive the calculator was not ready
    // for leaves it up) and says its last text in the message.
    if (failure && statusDialog_) {
        dialogs_->ShowMessage(statusDialog_->CloseInto(text), caption, failure);
        return;
    }
    dialogs_->ShowMessage(text, caption, failure);
}

void MainWindow::AppendToLog(const QString& text) { Log().AppendLine(text); }

void MainWindow::LogTransferEvent(const TransferEvent& event)
{
    if (const auto line = TransferLogLine(event)) AppendToLog(*line);
}

bool MainWindow::RecordTransfer(const TransferEvent& event)
{
    // A transfer refused before it began (a file the calculator asked for that is not
    // there) ends without a start: its end shows the dock as well.
    if ((event.stage == TransferStage::Started || event.stage == TransferStage::Ended) && !transfersShown_) {
        transfersShown_ = true;
        transfersDock->show();
    }
    // A ROM is named by its path; the other files are in the transfer folder.
    QString folder = event.kind == TransferKind::RomLoad ? QFileInfo(Q(event.file)).absolutePath() : Q(Server().Folder());
    if (folder.isEmpty() || folder == QLatin1String(".")) folder = TreePath();
    // The calculator by the label the class view knows it by, else by its port.
    const bool added = history_->Take(event, folder, Q(ClassLabel(selectedPort_)));
    if (added && !history_->LastError().isEmpty() && !historyErrorLogged_) {
        historyErrorLogged_ = true; // said once: every further row would say the same
        AppendToLog(tr("The transfer history cannot be kept in %1: %2")
                        .arg(QDir::toNativeSeparators(history_->Path()), history_->LastError()));
    }
    return added;
}
