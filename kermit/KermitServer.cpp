#include "kermit/KermitServer.h"

#include <QTimer>

#include "kermit/OutgoingFile.h"
#include "kermit/ReceivedFile.h"
#include "xmodem/XModemSend.h"
#include "link/Progress.h"
#include "link/Trace.h"
#include "util/HostInterfaces.h"
#include "util/GeneralError.h"
#include "util/MainThread.h"
#include "util/StringTable.h"
#include "util/Ticks.h"
#include "util/Utils.h"

using namespace kermit;

namespace {

// Pause after every frame read, before answering: the calculator needs a moment
// between sending its frame's end-of-line and listening again.
constexpr int AnswerPauseMs = 10;
// Pause before the F packet of a requested file, after the Y to our S.
constexpr int FileHeaderDelayMs = 200;
// Consecutive N packets tolerated while sending.
constexpr int MaxNaks = 5;
// After a failure that the recovery itself could not answer (the device is gone), the
// engine waits this long before it listens again, so a dead link does not make it spin.
constexpr int DeadLinkPauseMs = 1000;

constexpr const char* InvalidFileName = "Invalid file name";
constexpr const char* CannotStoreFile = "Cannot store file";
constexpr const char* NoFileBeingReceived = "No file is being received";



} // namespace

KermitServer::KermitServer(LinkLease link, TransferHost host)
    : link_(std::move(link)), host_(host.windows), statusDialog_(host.statusDialog),
      channel_(terminated_, kermit::FramePort::Over(*link_))
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
    {
        std::lock_guard lock(stopMutex_);
        terminated_ = true;
    }
    link_->CancelRead();
    stopSignal_.notify_all();
}

void KermitServer::Stop()
{
    RequestStop();
    Trace("terminate processed for Kermit");
    ProcessPendingEvents();
}

bool KermitServer::WaitForStop(int ms)
{
    std::unique_lock lock(stopMutex_);
    return stopSignal_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return terminated_.load(); });
}

void KermitServer::Work()
{
    // Nothing may leave a thread body: an error the dialogue does not handle ends the
    // engine quietly, as its owner would see it end after a stop.
    try {
        Execute();
    } catch (const std::exception& e) {
        Trace(std::string("Kermit engine ended by an error: ") + e.what());
    }
}

void KermitServer::Execute()
{
    while (!terminated_) {
        try {
            if (mode_ == EngineMode::Idle) SetBusy(false);
            const ReceivedFrame frame = channel_.ReceiveFrame();
            if (terminated_) break;
            SleepMs(AnswerPauseMs);
            if (mode_ != EngineMode::Idle) SetBusy(true);
            Handle(frame);
        } catch (const CalvyxError& e) {
            Trace(std::string("Kermit error: ") + e.what());
            // A link failure raises an empty message.
            TellFailure(*e.what() ? e.what() : "link lost");
            Recover();
        }
    }
    // A calculator in the middle of a transfer stops when it hears this; the USB link
    // needs no word.
    if (link_->IsOpen() && link_->Kind() != LinkKind::Usb) {
        try {
            channel_.SendFrame(ErrorType, seq_, Str::UserCancel);
        } catch (const CalvyxError&) {
        }
    }
}

void KermitServer::Recover()
{
    mode_ = EngineMode::Idle;
    try {
        channel_.SendFrame(NakType, seq_, {});
        HideStatusDialog();
        link_->ClearInput();
    } catch (const CalvyxError& e) {
        Trace(std::string("Kermit recovery failed: ") + e.what());
        HideStatusDialog();
        WaitForStop(DeadLinkPauseMs);
    }
}

void KermitServer::Handle(const ReceivedFrame& frame)
{
    if (frame.kind != KindNone) lastHeard_ = Now();
    switch (frame.kind) {
    case KindNone:
        if (mode_ != EngineMode::Idle && TicksSince(lastHeard_) >= staleTransferMs_) {
            AbandonStaleTransfer();
            return;
        }
        if (mode_ != EngineMode::Idle && channel_.LastFrame().size() > 4) channel_.ResendLastFrame();
        return;
    case KindXModemRequest:
        if (mode_ == EngineMode::Idle) SendByXModem(static_cast<uint8_t>(frame.data[0]));
        return;
    case KindScreenPush:
        if (mode_ == EngineMode::Idle) {
            if (host_) host_->RequestScreenCapture();
        }
        terminated_ = true;
        return;
    default:
        break;
    }

    seq_ = frame.seq;
    switch (static_cast<char>(frame.kind)) {
    case BreakType:
        mode_ = EngineMode::Idle;
        Ack();
        break;
    case DataType:
        ReceiveData(frame.data);
        break;
    case ErrorType:
        Ack();
        Trace("Error: " + frame.data);
        TellFailure("the calculator cancelled (" + VisibleText(DecodeData(frame.data)) + ")");
        HideStatusDialog();
        mode_ = EngineMode::Idle;
        break;
    case FileType:
        ReceiveFileHeader(frame.data);
        break;
    case InitType:
    case SendInitType:
        mode_ = EngineMode::Idle;
        storedFileEofSeq_ = -1;
        channel_.SendFrame(AckType, seq_, SendInit);
        break;
    case MessageType:
        Ack();
        Trace("Message: " + frame.data);
        mode_ = EngineMode::Idle;
        break;
    case NakType:
        HandleNak();
        break;
    case ReceiveInitType:
        SendRequestedFile(frame.data);
        break;
    case AckType:
        errorCount_ = 0;
        if (mode_ == EngineMode::Sending) HandleAck();
        break;
    case EofType:
        ReceiveEndOfFile(frame.data);
        break;
    default:
        Trace("Unknown or unexpected valid packet");
        break;
    }
}

void KermitServer::SendByXModem(uint8_t requestByte)
{
    SetBusy(true);
    xmodem::XModemSendSteps steps;
    steps.link = &*link_;
    steps.host = host_;
    steps.stop = &terminated_;
    steps.requestByte = requestByte;
    steps.folder = CurrentFolder();
    steps.openStatusDialog = [this](const std::string& title) {
        statusText_ = title;
        OpenStatusDialog();
    };
    steps.reportStatus = StatusReporter();
    Trace(std::string("XModem send: ") + xmodem::XModemSendResultName(xmodem::SendFileByXModem(steps)));
    SetBusy(false);
}

std::string KermitServer::PathInFolder(const ByteString& name) const
{
    return CurrentFolder() + "/" + name;
}

void KermitServer::RejectName(const ByteString& name)
{
    Trace("Kermit refuses the file name " + HexBytes(name));
    mode_ = EngineMode::Idle;
    channel_.SendFrame(ErrorType, seq_, InvalidFileName);
}

void KermitServer::ReceiveFileHeader(const ByteString& name)
{
    SetBusy(true);
    if (!IsSafeFileName(name)) {
        RejectName(name);
        return;
    }
    Ack();
    storedFileEofSeq_ = -1;
    filePath_ = PathInFolder(name);
    Trace("Kermit receiving begins for " + filePath_);
    mode_ = EngineMode::Receiving;
    lastSeq_ = seq_;
    fileData_.clear();
    startTick_ = Now();
    statusText_ = std::string(Str::Receiving) + VisibleText(FileNamePart(filePath_));
    OpenStatusDialog();
    ReportReceived(0, startTick_, StatusReporter()); // the calculator announces no size
}

void KermitServer::ReceiveData(const ByteString& field)
{
    // A D that belongs to no file this engine is receiving (the S and F went to an
    // engine that has ended, or were lost) must not be acknowledged: the calculator
    // would go on and take the file for delivered.
    if (mode_ != EngineMode::Receiving) {
        RefuseOrphan("D");
        return;
    }
    errorCount_ = 0;
    if (seq_ == (lastSeq_ + 1) % 64) {
        lastSeq_ = seq_;
        Ack();
        fileData_ += DecodeData(field);
        const auto done = static_cast<int64_t>(fileData_.size());
        ReportReceived(done, startTick_, StatusReporter());
        if (Cancelled()) channel_.SendFrame(ErrorType, seq_, Str::CanceledByPC);
    } else if (seq_ == lastSeq_ % 64) {
        Ack(); // a repeat of the packet already taken: its Y was lost
    } else {
        channel_.SendFrame(NakType, seq_, {});
    }
}

void KermitServer::ReceiveEndOfFile(const ByteString& field)
{
    // Outside a file only the repeat of the Z that ended the file stored last (its Y was
    // lost) is acknowledged again.
    if (mode_ != EngineMode::Receiving && seq_ != storedFileEofSeq_) {
        RefuseOrphan("Z");
        return;
    }
    if (mode_ == EngineMode::Receiving) {
        mode_ = EngineMode::Idle;
        // "D" in a Z packet: the sender discards the file it was sending.
        if (field == "D") {
            Trace("Kermit file discarded by the sender: " + filePath_);
        } else {
            try {
                StoreReceivedFile(filePath_, fileData_);
            } catch (const CalvyxError& e) {
                // The calculator must not hear a Y: it would take the file for delivered.
                Trace(std::string("Kermit could not store the file: ") + e.what());
                fileData_.clear();
                HideStatusDialog();
                channel_.SendFrame(ErrorType, seq_, CannotStoreFile);
                return;
            }
        }
        fileData_.clear();
        storedFileEofSeq_ = seq_;
    }
    ReportStatus(StatusReport::Finished());
    Ack();
}

void KermitServer::RefuseOrphan(const char* type)
{
    Trace(std::string("Kermit refuses ") + type + " " + std::to_string(seq_) + ": no file is being received");
    channel_.SendFrame(ErrorType, seq_, NoFileBeingReceived);
}

void KermitServer::TellFailure(const std::string& why)
{
    // Said while the dialog still shows the transfer: the log and the terminal keep it.
    if (mode_ == EngineMode::Idle) return;
    ReportStatus(StatusReport::Notice(statusText_ + " failed: " + why));
}

void KermitServer::AbandonStaleTransfer()
{
    Trace("Kermit transfer abandoned: nothing heard for " + std::to_string(staleTransferMs_) + " ms");
    TellFailure("no answer for " + std::to_string(staleTransferMs_ / 1000) + " s");
    mode_ = EngineMode::Idle;
    fileData_.clear();
    HideStatusDialog();
}

void KermitServer::SendRequestedFile(const ByteString& name)
{
    SetBusy(true);
    if (!IsSafeFileName(name)) {
        RejectName(name);
        return;
    }
    filePath_ = PathInFolder(name);
    Trace("Kermit sending begins for " + filePath_);
    // Only a regular file that lives in the folder itself goes out: OutgoingFile refuses
    // a symbolic link (it may lead out of the folder), a pipe, a device and a folder.
    if (!outgoing_.Open(filePath_)) {
        Trace("Kermit does not send " + filePath_ + ": not a regular file in the folder");
        channel_.SendFrame(ErrorType, seq_, Str::FileDoesNotExist);
        return;
    }
    startTick_ = Now();
    statusText_ = std::string(Str::Sending) + VisibleText(FileNamePart(filePath_));
    OpenStatusDialog();
    ReportProgress(0, outgoing_.Size(), startTick_,
                   StatusReporter());
    seq_ = 0;
    // An N before the first Y repeats the S itself.
    nextType_ = SendInitType;
    outData_ = ByteString(SendInit);
    SendCurrentPacket();
    mode_ = EngineMode::Sending;
    phase_ = SendPhase::AwaitInitAck;
    errorCount_ = 0;
}

void KermitServer::HandleAck()
{
    // Only the Y to the packet in flight moves the transfer on. A repeated Y for the one
    // before (the calculator's answer to a resend) would otherwise skip a packet.
    if (seq_ != sentSeq_) {
        Trace("Kermit ignores Y " + std::to_string(seq_) + " while packet " + std::to_string(sentSeq_) + " waits");
        return;
    }
    seq_ = (seq_ + 1) % 64;
    switch (phase_) {
    case SendPhase::AwaitInitAck:
        outData_ = FileNamePart(filePath_);
        nextType_ = FileType;
        Delay(FileHeaderDelayMs);
        phase_ = SendPhase::SendingData;
        break;
    case SendPhase::SendingData:
        outData_ = outgoing_.NextField();
        nextType_ = DataType;
        ReportProgress(outgoing_.Position(), outgoing_.Size(), startTick_,
                       StatusReporter());
        if (Cancelled()) channel_.SendFrame(ErrorType, seq_, Str::CanceledByPC);
        if (outData_.empty()) {
            nextType_ = EofType;
            phase_ = SendPhase::AwaitEofAck;
        }
        break;
    case SendPhase::AwaitEofAck:
        outData_.clear();
        nextType_ = BreakType;
        ReportStatus(StatusReport::Finished());
        phase_ = SendPhase::AwaitBreakAck;
        break;
    case SendPhase::AwaitBreakAck:
        mode_ = EngineMode::Idle;
        ReportStatus(StatusReport::Finished());
        break;
    }
    if (mode_ != EngineMode::Idle) SendCurrentPacket();
}

void KermitServer::SendCurrentPacket()
{
    sentSeq_ = seq_ % 64;
    channel_.SendFrame(nextType_, seq_, outData_);
}

void KermitServer::HandleNak()
{
    // While sending, an N asks for the packet in flight again; only the retry limit (or
    // the user's Cancel) ends the transfer.
    if (mode_ == EngineMode::Sending) {
        if (++errorCount_ > MaxNaks) throw CalvyxError("Too many errors");
        SendCurrentPacket();
        return;
    }
    if (statusDialog_ && statusDialog_->IsStatusVisible()) ReportStatus(StatusReport::Finished());
}

// ---- synchronised steps ----

void KermitServer::SetBusy(bool busy)
{
    if (Busy == busy) return;
    Busy = busy;
    RunInMainThread([this] {
        if (Busy) idleTimer_->stop();
        else idleTimer_->start();
        if (Busy && OnActivity) OnActivity(this);
    });
}

void KermitServer::OnIdleTimer()
{
    if (!Busy) idleTimer_->stop();
    if (OnActivity) OnActivity(this);
}

void KermitServer::ReportStatus(const StatusReport& report)
{
    if (!statusDialog_) return;
    RunInMainThread([&] { statusDialog_->UpdateStatus(report); });
}

StatusSink KermitServer::StatusReporter()
{
    return [this](const StatusReport& report) { ReportStatus(report); };
}

void KermitServer::OpenStatusDialog()
{
    if (!statusDialog_) return;
    RunInMainThread([this] { statusDialog_->OpenStatus(statusText_, true); });
}

void KermitServer::HideStatusDialog()
{
    if (statusDialog_ && statusDialog_->IsStatusVisible()) RunInMainThread([this] { statusDialog_->HideStatus(); });
}

bool KermitServer::Cancelled() const
{
    return statusDialog_ && !statusDialog_->IsStatusVisible();
}

std::string KermitServer::CurrentFolder() const
{
    std::string folder;
    RunInMainThread([&] { folder = Folder; });
    return folder;
}
