// The transfers the PC starts rather than the calculator: receiving an object by wire,
// loading a ROM, and the screen capture window. Each keeps the link for itself while
// it runs (see LinkReservation).
#include "mainwindow/MainWindow.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>

#include "kermit/KermitServer.h"
#include "link/Link.h"
#include "mainwindow/MainWindowParts.h"
#include "services/ObjectName.h"
#include "services/TransferServer.h"
#include "util/GeneralError.h"
#include "util/MainThread.h"
#include "util/StringTable.h"
#include "util/Utils.h"
#include "windows/CalculatorSetupDialog.h"
#include "windows/ScreenCaptureWindow.h"

using namespace MainWindowParts;

namespace {

constexpr const char* ReceiveTitle = QT_TRANSLATE_NOOP("MainWindow", "Receive file from T30s,T20s,T20/T20+ (By Wire)");
constexpr const char* DiscardQuestion = QT_TRANSLATE_NOOP("MainWindow", "Discard the received object? It has not been saved anywhere.");

} // namespace

void MainWindow::EnsureCaptureWindow()
{
    if (!TheCaptureWindow) TheCaptureWindow = new ScreenCaptureWindow(this);
    TheCaptureWindow->SetLinkLender([this] { return server_->LendLink(); });
}

void MainWindow::ShowCaptureWindow()
{
    if (LinkReserved()) return; // a command's transfer has the link; its wait serves events
    LinkReservation reserve(*this);
    server_->StopKermitServer();
    EnsureCaptureWindow();
    TheCaptureWindow->ShowCapture(selectedPort_, ByteString());
}

void MainWindow::ReceiveByWire(bool askFirst)
{
    // A transfer's wait serves events: a click that arrives meanwhile, before the poll
    // has shown the busy state, must not start a second transfer on the same link.
    if (LinkReserved()) return;
    const QString folder = server_->KermitServerRunning() ? Q(server_->Kermit()->Folder) : QStringLiteral(".");
    bool present = true;
    if (server_->LinkKindOpen() == LinkKind::Usb) present = ProbeUsbDevice(selectedPort_);
    if (askFirst && (!present || !dialogs_->ShowInstructions(ikSendCalcapp))) return;

    LinkReservation reserve(*this);
    server_->StopKermitServer();
    server_->SelectPort(selectedPort_);
    if (server_->PortName().empty()) return;
    {
        struct Idle {
            MainWindow* window;
            ~Idle() { window->SetTransferBusy(false); }
        } idle{this};
        SetTransferBusy(true);
        ProcessPendingEvents();
        // An exit answered meanwhile stops the receive before it begins.
        if (!exitAfterTransfer_) server_->ReceiveObject(Str::SendByWire, 0);
    }
    if (exitAfterTransfer_) {
        // The user stopped the receive to exit: nothing is asked any more.
        server_->DiscardReceivedData();
        CloseIfExitPending();
        return;
    }
    if (!server_->ReceivedData().empty()) {
        const QByteArray object(server_->ReceivedData().data(), static_cast<qsizetype>(server_->ReceivedData().size()));
        QString proposed = folder + QLatin1Char('/') + ReceivedObjectName(object);
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
                WriteStringToFile(server_->ReceivedData(), S(*path));
                break;
            } catch (const CalvyxError& e) {
                ReportError(e.what());
                proposed = *path;
            }
        }
    }
    server_->DiscardReceivedData();
}

void MainWindow::LoadRomClicked()
{
    if (LinkReserved()) return; // see ReceiveByWire
    struct Idle {
        MainWindow* window;
        bool armed = true;
        ~Idle() {
            if (armed) window->SetTransferBusy(false);
            // An exit asked for during the load happens now that it is over.
            window->CloseIfExitPending();
        }
    } idle{this};
    const QString filters = tr("ROM %1 (*.bin *.BIN);;%2 (*)").arg(TranslatedText(Str::Files), TranslatedText(Str::AllFiles));
    const auto file = dialogs_->AskOpenFile(TranslatedText(Str::DownloadRom), TreePath(), filters);
    if (!file || !dialogs_->ShowInstructions(ikRomDownload)) return;

    // The ROM load needs the link for itself, from the opening on.
    LinkReservation reserve(*this);
    server_->StopKermitServer();
    bool opened = false;
    try {
        opened = server_->OpenPortDirect(S(connectionBox->currentText()));
    } catch (...) {
        idle.armed = false; // the flag was never set
        throw;
    }
    if (!opened) return;
    const std::string path = S(QDir::toNativeSeparators(QFileInfo(*file).absoluteFilePath()));
    if (!server_->DownloadROM(path)) {
        QString text = TranslatedText(Str::DownloadFailed);
        text.replace(QStringLiteral("%s"), Q(path));
        dialogs_->ShowMessage(text, TranslatedText(Str::DownloadError), true);
    }
}
