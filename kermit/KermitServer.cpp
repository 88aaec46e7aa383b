// SPDX-License-Identifier: GPL-3.0-or-later
#include "kermit/KermitServer.h"

#include <QTimer>

#include "link/Trace.h"
#include "util/CalvyxError.h"
#include "xmodem/XModemSend.h"

using namespace kermit;

namespace {

// Pause after every frame read, before answering: the calculator needs a moment
// between sending its frame's end-of-line and listening again.
constexpr int AnswerPauseMs = 10;
// After a failure that the recovery itself could not answer (the device is gone), the
// engine waits this long before it listens again, so a dead link does not make it spin.
constexpr int DeadLinkPauseMs = 1000;
// Between transfers nothing times out: the engine waits for the calculator's first byte
// this long at a time (a stop ends the wait at once), instead of waking every second.
constexpr int IdleWaitMs = 60000;

} // namespace

// The dialogue's actions on the server's link.
class KermitServer::Actions : public KermitActions {
public:
    explicit Actions(KermitServer& server) : server_(server) {}
    void SendFrame(char type, int seq, std::string_view data) override { server_.channel_.SendFrame(type, seq, data); }
    void ResendLastFrame() override { server_.channel_.ResendLastFrame(); }
    void Pause(int ms) override { server_.link_->Pause(ms); }
    void ClearInput() override { server_.link_->ClearInput(); }
    void TransferBegins() override { server_.SetBusy(true); }
    void SendByXModem(uint8_t requestByte, const std::string& folder) override { server_.SendByXModem(requestByte, folder); }
    void ScreenPushed() override
    {
        if (server_.setup_.screenPushed) server_.setup_.screenPushed();
    }

private:
    KermitServer& server_;
};

KermitServer::KermitServer(LinkLease link, Setup setup)
    : folder_(setup.folder), link_(std::move(link)), setup_(std::move(setup)),
      channel_(stop_.get_token(), kermit::FramePort::Over(*link_))
{
    idleTimer_ = new QTimer(this);
    idleTimer_->setInterval(IdleNotifyMs);
    connect(idleTimer_, &QTimer::timeout, this, [this] { OnIdleTimer(); });
    start();
}

KermitServer::~KermitServer()
{
    RequestStop();
    WaitServingCalls(this);
    wait();
}

void KermitServer::RequestStop()
{
    stop_.request_stop();
    link_->CancelRead();
}

void KermitServer::Stop()
{
    RequestStop();
    Trace("terminate processed for Kermit");
    ProcessPendingEvents();
}

void KermitServer::CancelTransfer()
{
    cancel_ = true;
    std::lock_guard lock(xmodemMutex_);
    if (xmodemCancel_) xmodemCancel_->request_stop();
}

void KermitServer::SetFolder(const std::string& folder)
{
    std::lock_guard lock(folderMutex_);
    folder_ = folder;
    folderChanged_ = true;
}

std::string KermitServer::Folder() const
{
    std::lock_guard lock(folderMutex_);
    return folder_;
}

void KermitServer::Work()
{
    // Nothing may leave a thread body: an error the dialogue does not handle ends the
    // engine quietly, as its owner would see it end after a stop.
    try {
        // A line opened just now is drained here rather than by its opener: a class of
        // calculators has all its lines drained at once. A line that fails already
        // fails the first read below, where the dialogue deals with it.
        try {
            link_->ClearOwedInput([this] { return stop_.stop_requested(); });
        } catch (const CalvyxError& e) {
            Trace(std::string("draining the line: ") + e.what());
        }
        Actions actions(*this);
        KermitProtocol protocol(actions, setup_.events, Folder(), link_->Now());
        protocol.SetReceiveRules(setup_.receive);
        Execute(protocol);
    } catch (const std::exception& e) {
        Trace(std::string("Kermit engine ended by an error: ") + e.what());
    }
}

void KermitServer::Execute(KermitProtocol& protocol)
{
    const std::stop_token stop = stop_.get_token();
    while (!stop.stop_requested() && !protocol.Finished()) {
        try {
            const bool idle = protocol.Idle();
            if (idle) SetBusy(false);
            const ReceivedFrame frame = channel_.ReceiveFrame(idle ? IdleWaitMs : 0);
            if (stop.stop_requested()) break;
            // A silence while idle has nothing to answer.
            if (idle && frame.kind == KindNone && !frame.damaged) continue;
            link_->Pause(AnswerPauseMs);
            if (!protocol.Idle()) SetBusy(true);
            if (folderChanged_.exchange(false)) protocol.SetFolder(Folder());
            protocol.SetStaleTransferLimit(staleTransferMs_);
            if (cancel_.exchange(false)) protocol.CancelTransfer();
            protocol.Handle(frame, link_->Now());
        } catch (const CalvyxError& e) {
            Trace(std::string("Kermit error: ") + e.what());
            if (!protocol.LinkFailed(e.what(), link_->Now())) link_->Pause(DeadLinkPauseMs);
        }
    }
    // On a serial line the calculator hears the engine end; the USB link needs no word.
    protocol.Stop(link_->IsOpen() && link_->Kind() != LinkKind::Usb, link_->Now());
}

void KermitServer::SendByXModem(uint8_t requestByte, const std::string& folder)
{
    // A cancel from before the request belongs to no send.
    std::stop_source cancel;
    {
        std::lock_guard lock(xmodemMutex_);
        cancel_ = false;
        xmodemCancel_ = &cancel;
    }
    struct Forget {
        KermitServer& server;
        ~Forget()
        {
            std::lock_guard lock(server.xmodemMutex_);
            server.xmodemCancel_ = nullptr;
            server.cancel_ = false;
        }
    } forget{*this};
    xmodem::XModemSendSteps steps;
    steps.link = &*link_;
    steps.chooseFile = setup_.chooseFile;
    steps.stop = stop_.get_token();
    steps.cancel = cancel.get_token();
    steps.requestByte = requestByte;
    steps.folder = folder;
    steps.events = setup_.events;
    Trace(std::string("XModem send: ") + xmodem::XModemSendResultName(xmodem::SendFileByXModem(steps)));
    SetBusy(false);
}

// ---- synchronised steps ----

void KermitServer::SetBusy(bool busy)
{
    if (Busy == busy) return;
    Busy = busy;
    RunInMainThread([this] {
        if (Busy)
            idleTimer_->stop();
        else
            idleTimer_->start();
        if (Busy && OnActivity) OnActivity(this);
    });
}

void KermitServer::OnIdleTimer()
{
    if (!Busy) idleTimer_->stop();
    if (OnActivity) OnActivity(this);
}
