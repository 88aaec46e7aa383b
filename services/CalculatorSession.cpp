// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/CalculatorSession.h"

#include <stdexcept>

#include "kermit/KermitServer.h"
#include "link/PortName.h"
#include "link/Trace.h"
#include "link/UsbDevices.h"
#include "link/UsbPipes.h"
#include "util/CalvyxError.h"
#include "util/MainThread.h"
#include "util/Ticks.h"

// The front end's host, with the calculator's own requests noted on the way: the
// screen push (from the Kermit server's thread) and the XModem request.
class CalculatorSession::SessionHost final : public IHostWindows {
public:
    SessionHost(CalculatorSession& session, IHostWindows* frontEnd) : session_(session), frontEnd_(frontEnd) {}

    std::atomic<bool> screenPushed{false};

    void RequestScreenCapture() override
    {
        screenPushed = true;
        if (frontEnd_) frontEnd_->RequestScreenCapture();
    }
    void SetTransferBusy(bool busy) override
    {
        if (frontEnd_) frontEnd_->SetTransferBusy(busy);
    }
    bool InstructionsVisible() override { return frontEnd_ && frontEnd_->InstructionsVisible(); }
    void FocusInstructions() override
    {
        if (frontEnd_) frontEnd_->FocusInstructions();
    }
    void ShowMessage(const std::string& text, const std::string& caption) override
    {
        if (frontEnd_) frontEnd_->ShowMessage(text, caption);
    }
    std::optional<std::string> ChooseFileToSend(const std::string& title, const std::string& initialPath) override
    {
        // Asked in the main thread: the request is told before the question is asked.
        session_.Emit(XModemRequestEvent{});
        if (!frontEnd_) return std::nullopt;
        return frontEnd_->ChooseFileToSend(title, initialPath);
    }
    std::unique_ptr<IStatusDialog> CreateStatusDialog() override { return frontEnd_ ? frontEnd_->CreateStatusDialog() : nullptr; }
    void FocusMainWindow() override
    {
        if (frontEnd_) frontEnd_->FocusMainWindow();
    }

private:
    CalculatorSession& session_;
    IHostWindows* frontEnd_;
};

CalculatorSession::LinkLoan::LinkLoan(CalculatorSession& session, std::optional<LinkLease> lease)
    : session_(session), lease_(std::move(lease))
{
    ++session_.loans_;
    if (lease_) ++session_.leases_;
}

CalculatorSession::LinkLoan::~LinkLoan()
{
    --session_.loans_;
    if (lease_) --session_.leases_;
    // The lease goes back before the session serves again.
    lease_.reset();
    session_.LoanEnded();
}

CalculatorSession::CalculatorSession(TransferHost host, SessionSupervision supervision, QObject* parent)
    : QObject(parent), host_(std::make_unique<SessionHost>(*this, host.windows)), supervision_(supervision)
{
    qRegisterMetaType<SessionEvent>();
    transfers_ = std::make_unique<TransferServer>(TransferHost{host_.get(), host.statusDialog});
    transfers_->SetDrainInEngine(supervision_.drainInServer);
    transfers_->SetOnTransferEvent([this](const TransferEvent& event) { Emit(event); });
    transfers_->SetOnKermitActivity([this](KermitServer* server) { Emit(ActivityEvent{server->Busy.load()}); });
    check_.setInterval(supervision_.checkEveryMs);
    connect(&check_, &QTimer::timeout, this, [this] { CheckDevice(); });
}

CalculatorSession::~CalculatorSession()
{
    destroying_ = true;
    check_.stop();
    try {
        transfers_->SelectPort("");
    } catch (const std::exception& e) {
        Trace(std::string("closing the port: ") + e.what());
    }
}

void CalculatorSession::Emit(const SessionEvent& event)
{
    if (!destroying_) emit Event(event);
}

void CalculatorSession::EmitLink(LinkEvent::Change change, std::string detail)
{
    Emit(LinkEvent{change, port_, std::move(detail)});
}

bool CalculatorSession::Connected() const { return !port_.empty() && transfers_->LinkOpen() && !transfers_->LinkDetached(); }

void CalculatorSession::Connect(const std::string& port)
{
    if (loans_ > 0 || transfers_->TransferRunning()) throw std::logic_error("the link is in use");
    const std::string upper = UpperCasePortName(port);
    if (upper.empty()) {
        Disconnect();
        return;
    }
    const bool same = upper == port_ && Connected();
    port_ = upper;
    givenPort_ = port;
    hungUp_ = false; // chosen again: the user opens it knowingly
    lost_ = false;
    unavailableWhy_.clear();
    if (supervision_.followDevice) check_.start();
    if (same) {
        Serve();
        return;
    }
    try {
        transfers_->SelectPort(givenPort_);
    } catch (const CalvyxError& e) {
        // Said to the caller; the checks go on trying without saying it again.
        unavailableWhy_ = e.what();
        throw;
    }
    EmitLink(LinkEvent::Change::Opened);
    Serve();
}

void CalculatorSession::Follow(const std::string& port)
{
    port_ = UpperCasePortName(port);
    givenPort_ = port;
    hungUp_ = false;
    lost_ = false;
    unavailableWhy_.clear();
    if (port_.empty()) return;
    if (supervision_.followDevice) check_.start();
}

void CalculatorSession::Disconnect()
{
    check_.stop();
    const bool wasOpen = transfers_->LinkOpen();
    transfers_->SelectPort("");
    if (wasOpen && !port_.empty()) EmitLink(LinkEvent::Change::Closed);
    port_.clear();
    givenPort_.clear();
    hungUp_ = false;
    lost_ = false;
}

bool CalculatorSession::LinkFree() const { return loans_ == 0 && !transfers_->TransferRunning(); }

void CalculatorSession::RequireLinkForTransfer() const
{
    if (leases_ > 0 || transfers_->TransferRunning()) throw std::logic_error("the link is in use");
}

bool CalculatorSession::DevicePresent() const
{
    if (IsUsbPortName(givenPort_)) return UsbLinkPresent(givenPort_);
    // A line that lost its device asks its device file; any other is tried (an open
    // that fails says why, once).
    if (!transfers_->LinkDetached()) return true;
    return PortPresent(givenPort_);
}

void CalculatorSession::Serve()
{
    if (!supervision_.kermitServer || !LinkFree() || !Connected() || transfers_->KermitServerRunning()) return;
    transfers_->StartKermitServer();
    KermitServer* server = transfers_->Kermit();
    if (!server) return;
    // Queued: the engine has ended, but its owner may have replaced it since, even by a
    // new one at the same address; the serial number tells them apart.
    const uint64_t serial = ++serverSerial_;
    connect(
        server, &QThread::finished, this,
        [this, serial] {
            if (serial == serverSerial_ && transfers_->Kermit() && transfers_->Kermit()->isFinished()) KermitServerEnded();
        },
        Qt::QueuedConnection);
}

void CalculatorSession::KermitServerEnded()
{
    // The engine ends by itself only for a pushed screen (or an error it could not get
    // past): it goes, and whoever wants the screen borrows the link now.
    transfers_->StopKermitServer();
    if (host_->screenPushed.exchange(false)) Emit(ScreenPushEvent{});
    Serve();
}

void CalculatorSession::LoanEnded()
{
    if (destroying_ || port_.empty() || hungUp_ || loans_ > 0) return;
    // The borrower may have closed the link (the screen reads and the ROM load do): a
    // session that follows its device opens it again, and the calculator's files go
    // through at once, not at the next check. A one-shot command's session leaves it.
    if (supervision_.followDevice && !Connected() && DevicePresent()) TryOpen();
    Serve();
}

bool CalculatorSession::TryOpen()
{
    try {
        transfers_->RestartQuietClock(Now());
        transfers_->SelectPort(givenPort_);
    } catch (const CalvyxError& e) {
        if (e.what() != unavailableWhy_) {
            unavailableWhy_ = e.what();
            EmitLink(LinkEvent::Change::Unavailable, unavailableWhy_);
        }
        return false;
    }
    unavailableWhy_.clear();
    EmitLink(lost_ ? LinkEvent::Change::Back : LinkEvent::Change::Opened);
    lost_ = false;
    return true;
}

void CalculatorSession::LetGo()
{
    transfers_->StopKermitServer();
    transfers_->SelectPort("");
    // SelectPort("") forgets the name; the session keeps following it.
}

void CalculatorSession::CheckDevice()
{
    if (port_.empty() || hungUp_ || !LinkFree() || inCheck_) return;
    inCheck_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{inCheck_};

    const bool open = transfers_->LinkOpen();
    const bool detached = transfers_->LinkDetached();
    // A pseudo-terminal that hung up is let go at once; so is a USB calculator that was
    // unplugged and is back (the link still holds the device that went away). Anything
    // else waits for a quiet line: a calculator heard lately is there.
    const bool usbReplugged = detached && IsUsbPortName(givenPort_) && DevicePresent();
    if (!(open && detached && transfers_->PortIsPseudoTerminal()) && !usbReplugged && supervision_.quietRecheckMs > 0 &&
        TicksSince(transfers_->LastReceiveTime()) <= supervision_.quietRecheckMs) {
        Serve();
        return;
    }
    const bool present = DevicePresent();
    if (open && (detached || !present)) {
        if (transfers_->PortIsPseudoTerminal()) {
            // Its number may belong to another program's terminal by the time it exists
            // again: it is not opened again by itself.
            LetGo();
            hungUp_ = true;
            EmitLink(LinkEvent::Change::HungUp);
            return;
        }
        const bool replugged = present; // gone and back between two looks
        LetGo();
        lost_ = true;
        EmitLink(replugged ? LinkEvent::Change::Replugged : LinkEvent::Change::Lost);
    }
    if (!transfers_->LinkOpen()) {
        if (!present) {
            // Pipes that another user could have made are not the calculator: said once.
            if (IsUsbPortName(givenPort_)) {
                if (std::string why = PipeDeviceProblem(givenPort_); why != unavailableWhy_) {
                    unavailableWhy_ = std::move(why);
                    if (!unavailableWhy_.empty()) EmitLink(LinkEvent::Change::Refused, unavailableWhy_);
                }
            }
            return;
        }
        if (!TryOpen()) return;
    }
    transfers_->RestartQuietClock(Now());
    Serve();
}

std::unique_ptr<CalculatorSession::LinkLoan> CalculatorSession::BorrowLink()
{
    if (!LinkFree()) throw std::logic_error("the link is in use");
    transfers_->StopKermitServer();
    return std::unique_ptr<LinkLoan>(new LinkLoan(*this, transfers_->LendLink()));
}

std::unique_ptr<CalculatorSession::LinkLoan> CalculatorSession::HoldLink()
{
    transfers_->StopKermitServer();
    return std::unique_ptr<LinkLoan>(new LinkLoan(*this, std::nullopt));
}

bool CalculatorSession::ReceiveObject(const std::string& displayName, int expectedSize)
{
    RequireLinkForTransfer();
    // No look at the device may take the link while the receive waits below.
    const auto hold = HoldLink();
    transfers_->SelectPort(givenPort_);
    if (transfers_->PortName().empty()) return false;
    return transfers_->ReceiveObject(displayName, expectedSize);
}

bool CalculatorSession::OpenForRom(const std::string& port)
{
    RequireLinkForTransfer();
    // A session without a port (a one-shot command's) takes this one as its own; one
    // that follows a port goes back to it after the load.
    if (port_.empty()) {
        port_ = UpperCasePortName(port);
        givenPort_ = port;
        hungUp_ = false;
    }
    return transfers_->OpenPortDirect(port);
}

bool CalculatorSession::SendRom(const std::string& fileName)
{
    RequireLinkForTransfer();
    const auto hold = HoldLink();
    return transfers_->SendRom(fileName);
}

std::unique_ptr<ScreenReader> CalculatorSession::LendScreenReader()
{
    if (loans_ == 0) throw std::logic_error("a screen reader is lent under a hold");
    RequireLinkForTransfer();
    // A pseudo-terminal that hung up may have become another program's by now.
    if (port_.empty() || hungUp_) return nullptr;
    transfers_->StopKermitServer();
    return std::make_unique<ScreenReader>(transfers_->LendLink(), givenPort_);
}
