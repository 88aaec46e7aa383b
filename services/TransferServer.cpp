// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/TransferServer.h"

#include <QEventLoop>
#include <QTimer>

#include <exception>
#include <optional>

#include "kermit/KermitServer.h"
#include "link/LinkErrors.h"
#include "link/PortName.h"
#include "link/Trace.h"
#include "services/RomSender.h"
#include "services/WireReceiver.h"
#include "util/MainThread.h"
#include "util/StringTable.h"
#include "util/Ticks.h"
#include "util/TransferText.h"
#include "util/Utils.h"

namespace {

// Marks the server busy with a transfer of its own for the life of the object.
class TransferScope {
public:
    explicit TransferScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~TransferScope() { flag_ = false; }

private:
    bool& flag_;
};

} // namespace

TransferServer::TransferServer(TransferHost host) : host_(host), wireStartWaitMs_(WireReceiver::StartWaitMs)
{
    if (host_.windows) SetRomStatusDialog(host_.windows->CreateStatusDialog());
    SetStatusDialog(host_.statusDialog);
}

void TransferServer::SetRomStatusDialog(std::unique_ptr<IStatusDialog> dialog)
{
    romStatusDialog_ = std::move(dialog);
    // Its Cancel stops the load as Ctrl-C does, between two chunks.
    if (romStatusDialog_) romStatusDialog_->OnCancel = [this] { CancelTransfer(); };
}

void TransferServer::SetStatusDialog(IStatusDialog* dialog)
{
    host_.statusDialog = dialog;
    if (dialog) dialog->OnCancel = [this] { CancelTransfer(); };
}

TransferEventSink TransferServer::EventSink()
{
    return [this](const TransferEvent& event) { RunInMainThread([&] { DeliverEvent(event); }); };
}

void TransferServer::DeliverEvent(const TransferEvent& event)
{
    IStatusDialog* dialog = event.kind == TransferKind::RomLoad ? romStatusDialog_.get() : host_.statusDialog;
    if (dialog && !dialog->ShowTransfer(event)) ShowOnStatusDialog(*dialog, event);
    if (onTransferEvent_) onTransferEvent_(event);
}

TransferServer::~TransferServer()
{
    try {
        SelectPort("");
    } catch (const std::exception& e) {
        Trace(std::string("closing the port: ") + e.what());
    }
}

void TransferServer::SetFolder(const std::string& path)
{
    folder_ = path;
    if (kermitServer_) kermitServer_->SetFolder(path);
}

void TransferServer::SetOnKermitActivity(std::function<void(KermitServer*)> handler)
{
    onKermitActivity_ = std::move(handler);
    if (kermitServer_) kermitServer_->OnActivity = onKermitActivity_;
}

void TransferServer::StartKermitServer()
{
    if (transferRunning_ || link_.Lent()) {
        Trace("Kermit Server not started: a transfer has the link");
        return;
    }
    KermitServer::Setup setup;
    setup.folder = folder_;
    setup.receive = receiveRules_;
    setup.events = EventSink();
    // The user chooses in the main thread; the server waits for the answer.
    setup.chooseFile = [windows = host_.windows](const std::string& title, const std::string& initialPath) {
        std::optional<std::string> chosen;
        if (windows) RunInMainThread([&] { chosen = windows->ChooseFileToSend(title, initialPath); });
        return chosen;
    };
    setup.screenPushed = [windows = host_.windows] {
        if (windows) windows->RequestScreenCapture();
    };
    kermitServer_ = std::make_unique<KermitServer>(LinkLease(link_), std::move(setup));
    kermitServer_->OnActivity = onKermitActivity_;
    Trace("Kermit Server started, PC <- T20+");
}

void TransferServer::StopKermitServer()
{
    if (!kermitServer_) return;
    kermitServer_->Stop();
    // A frame the calculator does not take must not hold the stop for the write limit;
    // the lease's end lets the next engine write again.
    link_.StopWrites();
    kermitServer_.reset(); // waits for the thread, serving its synchronised calls
    Trace("Kermit Server terminated");
}

void TransferServer::SelectPort(const std::string& name)
{
    const std::string upper = UpperCasePortName(name);
    if (link_.IsOpen() && upper == portName_ && link_.StillAttached()) return;
    // The Kermit server reads the link: it goes before the link is closed under it.
    StopKermitServer();
    link_.Close();
    portName_ = upper;
    portIsPseudoTerminal_ = false;
    if (portName_.empty()) return;
    try {
        // In a class the Kermit server drains the line in its own thread as it starts
        // (anything else that takes the link drains it first): the class opens its
        // lines one after the other without waiting out each line's drain.
        if (drainInEngine_)
            link_.OpenOwingDrain(portName_, LinkBaud);
        else
            link_.Open(portName_, LinkBaud);
        portIsPseudoTerminal_ = IsPseudoTerminal(portName_);
        ShowStatus({ServerState::OpeningPort, portName_});
        ShowStatus({ServerState::Connected, portName_});
    } catch (const LinkError& e) {
        Trace(std::string("opening the port failed: ") + LinkErrorKindName(e.Kind()) + " " + e.OsDetail());
        link_.Close();
        PortFailed(name, e.Reason());
    } catch (const std::exception& e) {
        Trace(std::string("opening the port failed: ") + e.what());
        link_.Close();
        PortFailed(name, "");
    }
}

bool TransferServer::OpenPortDirect(const std::string& name)
{
    StopKermitServer();
    link_.Close();
    portName_ = UpperCasePortName(name);
    portIsPseudoTerminal_ = false;
    if (portName_ == "AUTO") {
        if (host_.windows) host_.windows->ShowMessage(Str::ComPortCannotBeAuto, Str::ComSettingError);
        return false;
    }
    try {
        ShowStatus({ServerState::OpeningComm, portName_});
        link_.Open(portName_, LinkBaud);
        portIsPseudoTerminal_ = IsPseudoTerminal(portName_);
        link_.ClearInput();
        ShowStatus({ServerState::Connected, portName_});
        return true;
    } catch (const LinkError& e) {
        Trace(std::string("opening the port failed: ") + LinkErrorKindName(e.Kind()) + " " + e.OsDetail());
        link_.Close(); // a half-opened device must not stay held until the next selection
        PortFailed(name, e.Reason());
    } catch (const std::exception& e) {
        Trace(std::string("opening the port failed: ") + e.what());
        link_.Close();
        PortFailed(name, "");
    }
}

LinkLease TransferServer::LendLink()
{
    ClearOwedInput();
    return LinkLease(link_);
}

void TransferServer::ClearOwedInput()
{
    try {
        link_.ClearOwedInput();
    } catch (const CalvyxError& e) {
        // The engine's first read meets the failure and says it in its own words.
        Trace(std::string("draining the line: ") + e.what());
    }
}

void TransferServer::PortFailed(const std::string& nameAsPassed, const std::string& reason)
{
    portName_.clear();
    ShowStatus({});
    // After a link failure in the main thread the user looks at the main window.
    if (host_.windows && InMainThread()) host_.windows->FocusMainWindow();
    RaiseOpenError(nameAsPassed, reason);
}

bool TransferServer::ReceiveObject(const std::string& displayName, int expectedSize)
{
    transferStop_ = std::stop_source();
    // Showing the status serves events: a stop asked for there is kept for the receiver.
    ShowStatus({ServerState::ReceivingByWire, {}});
    TransferScope scope(transferRunning_);
    // The receiver's first event (Started) opens the dialog; it waits for the main
    // thread, which serves it in the wait below. The settle time the calculator needs
    // after the end passes in the receiver's thread.
    ClearOwedInput();
    auto receiver = std::make_unique<WireReceiver>(LinkLease(link_), EventSink(), transferStop_.get_token(), displayName,
                                                   expectedSize, WireReceiver::RunIn::OwnThread, wireStartWaitMs_);
    WaitServingCalls(receiver.get());
    const bool success = receiver->Success;
    receivedData_ = success ? std::move(receiver->ReceivedData) : ByteString();
    lastReceiveError_ = success ? std::string() : receiver->FailureText;
    return success;
}

void TransferServer::CancelTransfer()
{
    transferStop_.request_stop(); // also for a transfer that is starting and has no thread yet
    if (kermitServer_) kermitServer_->CancelTransfer();
}

bool TransferServer::SendRom(const std::string& fileName)
{
    transferStop_ = std::stop_source();
    ShowStatus({ServerState::Copying, FileNamePart(fileName)});
    IHostWindows* host = host_.windows;
    // The user follows the set-up instructions on the calculator first: the window goes
    // on serving its events meanwhile, and looks again at every tenth of a second.
    while (host && host->InstructionsVisible()) {
        host->FocusInstructions();
        QEventLoop wait;
        QTimer::singleShot(100, &wait, &QEventLoop::quit);
        wait.exec();
    }
    if (host) host->SetTransferBusy(true);
    bool success = false;
    try {
        TransferScope scope(transferRunning_);
        if (!romStatusDialog_ && host) SetRomStatusDialog(host->CreateStatusDialog());
        // The sender's Started event opens the dialog before its "Connecting ...": both
        // wait for the main thread, which serves them in the wait below.
        auto sender = std::make_unique<RomSender>(LinkLease(link_), fileName, EventSink(), transferStop_.get_token());
        WaitServingCalls(sender.get());
        ShowStatus({});
        success = sender->Success;
        lastRomError_ = sender->ErrorText;
    } catch (...) {
        if (host) host->SetTransferBusy(false);
        throw;
    }
    if (host) host->SetTransferBusy(false);
    return success;
}

std::string ServerStatusText(const ServerStatus& status)
{
    switch (status.state) {
    case ServerState::Idle:
        return {};
    case ServerState::OpeningPort:
        return Str::OpeningPort + status.subject;
    case ServerState::OpeningComm:
        return FormatText(Str::OpeningComm, status.subject);
    case ServerState::Connected:
        return FormatText(Str::DeviceConnectedOn, status.subject);
    case ServerState::Copying:
        return Str::Copying + status.subject;
    case ServerState::ReceivingByWire:
        return Str::ReceivingByWire;
    }
    return {};
}

void TransferServer::ShowStatus(const ServerStatus& status)
{
    status_ = status;
    statusText_ = ServerStatusText(status);
    if (onServerStatus_) onServerStatus_(status_);
    if (onStatus_) onStatus_(statusText_);
    Trace("Status = " + statusText_);
}
