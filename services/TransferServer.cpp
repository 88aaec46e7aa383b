#include "services/TransferServer.h"

#include <exception>

#include "kermit/KermitServer.h"
#include "link/PortLink.h"
#include "link/UsbPipeReader.h"
#include "util/HostInterfaces.h"
#include "services/RomSender.h"
#include "services/WireReceiver.h"
#include "util/MainThread.h"
#include "util/StringTable.h"
#include "util/Ticks.h"
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

TransferServer::TransferServer()
{
    ResetPortLink();
    PortName.clear();
    ForgetReaderThread();
    if (IHostWindows* host = Host()) StatusDialog = host->CreateStatusDialog();
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
    Folder = path;
    if (kermitServer_) kermitServer_->Folder = path;
}

void TransferServer::SetOnKermitActivity(std::function<void(KermitServer*)> handler)
{
    OnKermitActivity = std::move(handler);
    if (kermitServer_) kermitServer_->OnActivity = OnKermitActivity;
}

void TransferServer::StartKermitServer()
{
    if (transferRunning_) {
        Trace("Kermit Server not started: a transfer has the link");
        return;
    }
    kermitServer_ = std::make_unique<KermitServer>();
    kermitServer_->Folder = Folder;
    kermitServer_->OnActivity = OnKermitActivity;
    Trace("Kermit Server started, PC <- T20+");
}

void TransferServer::StopKermitServer()
{
    if (!kermitServer_) return;
    kermitServer_->Stop();
    ProcessPendingEvents();
    SleepMs(10);
    kermitServer_.reset(); // waits for the thread, serving its synchronised calls
    Trace("Kermit Server terminated");
}

void TransferServer::SelectPort(const std::string& name)
{
    const std::string upper = UpperCasePortName(name);
    if (LinkIsOpen() && upper == PortName) return;
    // The Kermit server reads the link: it goes before the link is closed under it.
    StopKermitServer();
    CloseLink();
    PortName = upper;
    if (PortName.empty()) return;
    try {
        OpenLink(PortName, LinkBaud);
        ShowStatus(Str::OpeningPort + PortName);
        SetLongTimeouts();
        ShowStatus(FormatText(Str::DeviceConnectedOn, PortName));
    } catch (const std::exception& e) {
        Trace(std::string("opening the port failed: ") + e.what());
        CloseLink();
        PortFailed(name);
    }
}

bool TransferServer::OpenPortDirect(const std::string& name)
{
    StopKermitServer();
    CloseLink();
    PortName = UpperCasePortName(name);
    if (PortName == "AUTO") {
        if (IHostWindows* host = Host()) host->ShowMessage(Str::ComPortCannotBeAuto, Str::ComSettingError);
        return false;
    }
    try {
        ShowStatus(FormatText(Str::OpeningComm, PortName));
        OpenLink(PortName, LinkBaud);
        ClearInput();
        ShowStatus(FormatText(Str::DeviceConnectedOn, PortName));
        return true;
    } catch (const std::exception& e) {
        Trace(std::string("opening the port failed: ") + e.what());
        CloseLink(); // a half-opened device must not stay held until the next selection
        PortFailed(name);
    }
}

void TransferServer::PortFailed(const std::string& nameAsPassed)
{
    PortName.clear();
    ShowStatus("");
    RaiseError(Str::UnableToOpenComms + nameAsPassed);
}

bool TransferServer::ReceiveObject(const std::string& displayName, int expectedSize)
{
    ShowStatus(Str::Copying + FileNamePart(displayName));
    TransferScope scope(transferRunning_);
    auto receiver = std::make_unique<WireReceiver>(displayName, expectedSize);
    const auto settle = [&] {
        const bool success = receiver->Success;
        ReceivedData = success ? std::move(receiver->ReceivedData) : ByteString();
        receiver.reset();
        return success;
    };
    try {
        SleepMs(100);
        WaitServingCalls(receiver.get());
        Delay(TimingProfile.ReceiveSettleDelay);
    } catch (...) {
        settle();
        throw;
    }
    return settle();
}

bool TransferServer::DownloadROM(const std::string& fileName)
{
    ShowStatus(Str::Copying + FileNamePart(fileName));
    IHostWindows* host = Host();
    // The user follows the set-up instructions on the calculator first.
    while (host && host->InstructionsVisible()) {
        host->FocusInstructions();
        ProcessPendingEvents();
        Delay(100);
    }
    if (host) host->SetTransferBusy(true);
    bool success = false;
    try {
        TransferScope scope(transferRunning_);
        if (!StatusDialog && host) StatusDialog = host->CreateStatusDialog();
        IStatusDialog* dialog = StatusDialog.get();
        auto sender = std::make_unique<RomSender>(fileName, [dialog](const std::string& text, int kind, int done, int total, int reserved) {
            if (dialog) dialog->UpdateStatus(text, kind, done, total, reserved);
        });
        // The sender's first report waits for the dialog, so "Connecting ..." is the
        // first text the user sees.
        Delay(1000);
        if (dialog) dialog->OpenStatus(Str::Copying + fileName, true);
        SleepMs(100);
        WaitServingCalls(sender.get());
        ShowStatus("");
        success = sender->Success;
        lastRomError_ = sender->ErrorText;
    } catch (...) {
        if (host) host->SetTransferBusy(false);
        throw;
    }
    if (host) host->SetTransferBusy(false);
    return success;
}

void TransferServer::ShowStatus(const std::string& text)
{
    StatusText = text;
    if (OnStatus) OnStatus(this, text, 0, 0, 0, 0);
    Trace("Status = " + text);
    if (text.empty()) Trace("ask why");
}
