#include "kermit/KermitServer.h"

#include <QTimer>

#include "kermit/OutgoingFile.h"
#include "kermit/ReceivedFile.h"
#include "link/Progress.h"
#include "link/Trace.h"
#include "util/CalvyxError.h"
#include "util/HostInterfaces.h"
#include "util/MainThread.h"
#include "util/StringTable.h"
#include "util/Ticks.h"
#include "util/Utils.h"
#include "xmodem/XModemSend.h"

#include <cstring>

using namespace kermit;

namespace {

// Pause after every frame read, before answering: the calculator needs a moment
// between sending its frame's end-of-line and listening again.
constexpr int AnswerPauseMs = 10;
// Pause before the F packet of a requested file, after the Y to our S.
constexpr int FileHeaderDelayMs = 200;
// After a failure that the recovery itself could not answer (the device is gone), the
// engine waits this long before it listens again, so a dead link does not make it spin.
constexpr int DeadLinkPauseMs = 1000;

constexpr const char* InvalidFileName = "Invalid file name";
constexpr const char* CannotStoreFile = "Cannot store file";
constexpr const char* NoFileBeingReceived = "No file is being received";
constexpr const char* TooManyErrors = "Too many errors";
constexpr const char* NotEnoughSpace = "Not enough disk space";
constexpr const char* RequestNotReceived = "Request not received";
// An N while idle this long after the last transfer is no late answer to that transfer.
constexpr uint32_t LateAnswerMs = 2000;

} // namespace

KermitServer::KermitServer(LinkLease link, TransferHost host)
    : link_(std::move(link)), host_(host.windows), statusDialog_(host.statusDialog),
      channel_(terminated_, kermit::FramePort::Over(*link_))
{
    idleSince_ = link_->Now();
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
            link_->Pause(AnswerPauseMs);
            if (mode_ != EngineMode::Idle) SetBusy(true);
            Handle(frame);
        } catch (const CalvyxError& e) {
            Trace(std::string("Kermit error: ") + e.what());
            // A link failure raises an empty message.
            TellFailure(*e.what() ? e.what() : "link lost");
            Recover();
        }
    }
    LeaveTransfer();
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
    LeaveTransfer();
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

void KermitServer::LeaveTransfer()
{
    if (mode_ != EngineMode::Idle) idleSince_ = link_->Now();
    mode_ = EngineMode::Idle;
    incoming_.Discard();
    outgoing_.Close();
    retries_ = 0;
}

void KermitServer::Handle(const ReceivedFrame& frame)
{
    if (frame.kind != KindNone || frame.damaged) lastHeard_ = link_->Now();
    switch (frame.kind) {
    case KindNone:
        HandleSilence(frame.damaged);
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
        LeaveTransfer();
        Ack();
        expectedSeq_ = 0;
        break;
    case DataType:
        ReceiveData(frame.data);
        break;
    case ErrorType:
        Trace("Error: " + frame.data);
        TellFailure("the calculator cancelled (" + VisibleText(DecodeData(frame.data)) + ")");
        // What was received of the file is gone before anyone hears the transfer ended.
        LeaveTransfer();
        Ack();
        HideStatusDialog();
        expectedSeq_ = 0;
        break;
    case FileType:
        ReceiveFileHeader(frame.data);
        break;
    case InitType:
    case SendInitType:
        LeaveTransfer();
        storedFileEofSeq_ = -1;
        channel_.SendFrame(AckType, seq_, SendInit);
        // An S opens a transfer whose F follows under the next number; an I stands alone,
        // and what follows it (an R, an S) starts again at 0.
        expectedSeq_ = static_cast<char>(frame.kind) == SendInitType ? (seq_ + 1) % 64 : 0;
        break;
    case MessageType:
        Ack();
        Trace("Message: " + frame.data);
        LeaveTransfer();
        break;
    case NakType:
        HandleNak();
        break;
    case ReceiveInitType:
        SendRequestedFile(frame.data);
        break;
    case AckType:
        if (mode_ == EngineMode::Sending) PacketTaken(seq_);
        break;
    case EofType:
        ReceiveEndOfFile(frame.data);
        break;
    case AttributeType:
        if (mode_ == EngineMode::Receiving) {
            ReceiveAttributes(frame.data);
            break;
        }
        [[fallthrough]];
    default:
        Trace("Unknown or unexpected valid packet");
        break;
    }
}

void KermitServer::HandleSilence(bool damaged)
{
    if (mode_ != EngineMode::Idle && link_->Now() - lastHeard_ >= staleTransferMs_) {
        AbandonStaleTransfer();
        return;
    }
    switch (mode_) {
    case EngineMode::Idle:
        // A damaged S, I, R or F: the calculator hears at once that it should send again,
        // instead of waiting out its own time-out.
        if (damaged) channel_.SendFrame(NakType, expectedSeq_, {});
        return;
    case EngineMode::Receiving:
        if (damaged) {
            if (CountRetry()) channel_.SendFrame(NakType, (lastSeq_ + 1) % 64, {});
        } else if (channel_.LastFrame().size() > 4) {
            channel_.ResendLastFrame();
        }
        return;
    case EngineMode::Sending:
        // The answer was lost or damaged: the packet in flight goes out again. Only a
        // damaged answer says the line is noisy; a silence may be a calculator that is slow.
        if (!damaged)
            RetryPacket(false);
        else if (CountRetry())
            RetryPacket(true);
        return;
    }
}

bool KermitServer::CountRetry()
{
    if (++retries_ <= MaxRetries) return true;
    GiveUp(TooManyErrors, "too many errors on the line");
    return false;
}

void KermitServer::GiveUp(const std::string& errorText, const std::string& why)
{
    Trace("Kermit gives the transfer up: " + why);
    TellFailure(why);
    LeaveTransfer();
    HideStatusDialog();
    expectedSeq_ = 0;
    channel_.SendFrame(ErrorType, seq_, errorText);
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

std::string KermitServer::PathInFolder(const ByteString& name) const { return CurrentFolder() + "/" + name; }

void KermitServer::RejectName(const ByteString& name)
{
    Trace("Kermit refuses the file name " + HexBytes(name));
    LeaveTransfer();
    channel_.SendFrame(ErrorType, seq_, InvalidFileName);
}

void KermitServer::ReceiveFileHeader(const ByteString& name)
{
    SetBusy(true);
    if (!IsSafeFileName(name)) {
        RejectName(name);
        return;
    }
    LeaveTransfer();
    storedFileEofSeq_ = -1;
    filePath_ = PathInFolder(name);
    // The file goes to disk as it arrives, into a temporary file that replaces the older
    // one of its name only at the end.
    if (const int err = incoming_.Begin(filePath_); err != 0) {
        Trace("Kermit cannot create a file in the folder for " + filePath_ + ": " + std::strerror(err));
        channel_.SendFrame(ErrorType, seq_, std::string(CannotStoreFile) + ": " + std::strerror(err));
        return;
    }
    Ack();
    Trace("Kermit receiving begins for " + filePath_);
    mode_ = EngineMode::Receiving;
    lastSeq_ = seq_;
    expectedSeq_ = (seq_ + 1) % 64;
    startTick_ = Now();
    statusText_ = std::string(Str::Receiving) + VisibleText(FileNamePart(filePath_));
    OpenStatusDialog();
    ReportReceived(0, startTick_, StatusReporter()); // the calculator announces no size
}

void KermitServer::ReceiveAttributes(const ByteString& field)
{
    // Attributes are tag, tochar(length), value. "1" is the size in bytes, "!" in
    // kilobytes; a file that cannot fit is refused before any of it is sent.
    int64_t announced = -1;
    for (std::size_t at = 0; at + 1 < field.size();) {
        const char tag = field[at];
        const int len = UnChar(static_cast<uint8_t>(field[at + 1]));
        if (len < 0 || at + 2 + static_cast<std::size_t>(len) > field.size()) break;
        const std::string value = field.substr(at + 2, static_cast<std::size_t>(len));
        at += 2 + static_cast<std::size_t>(len);
        if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos || value.size() > 15) continue;
        if (tag == '1')
            announced = std::stoll(value);
        else if (tag == '!' && announced < 0)
            announced = std::stoll(value) * 1024;
    }
    const std::string folder = filePath_.substr(0, filePath_.find_last_of('/') + 1);
    const int64_t free = FreeBytesIn(folder);
    if (announced >= 0 && free >= 0 && announced > free) {
        GiveUp(NotEnoughSpace,
               "not enough disk space (" + std::to_string(announced) + " bytes announced, " + std::to_string(free) + " free)");
        return;
    }
    lastSeq_ = seq_;
    expectedSeq_ = (seq_ + 1) % 64;
    Ack();
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
    if (!IsEncodedData(field)) {
        // No calculator sends this: a frame damaged on the way whose 6-bit check matched
        // by chance. Asked for again, as for a frame that failed its check.
        Trace("<- kermit data field that no encoding gives: " + HexBytes(field));
        if (CountRetry()) channel_.SendFrame(NakType, (lastSeq_ + 1) % 64, {});
        return;
    }
    retries_ = 0;
    if (seq_ == (lastSeq_ + 1) % 64) {
        // The bytes reach the disk before the calculator hears its Y: a full disk is
        // told at the packet that met it, and nothing acknowledged is lost.
        if (const int err = incoming_.Append(DecodeData(field)); err != 0) {
            GiveUp(std::string(CannotStoreFile) + ": " + std::strerror(err),
                   std::string("cannot store the file: ") + std::strerror(err));
            return;
        }
        lastSeq_ = seq_;
        expectedSeq_ = (seq_ + 1) % 64;
        Ack();
        ReportReceived(incoming_.Written(), startTick_, StatusReporter());
        if (Cancelled()) {
            // The user closed the dialog: nothing of the file is kept (gone before the
            // calculator hears why), and the calculator hears why.
            LeaveTransfer();
            channel_.SendFrame(ErrorType, seq_, Str::CanceledByPC);
        }
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
        // "D" in a Z packet: the sender discards the file it was sending.
        if (field == "D") {
            Trace("Kermit file discarded by the sender: " + filePath_);
            incoming_.Discard();
        } else if (const int err = incoming_.Commit(); err != 0) {
            // The calculator must not hear a Y: it would take the file for delivered.
            Trace(std::string("Kermit could not store the file: ") + std::strerror(err));
            GiveUp(std::string(CannotStoreFile) + ": " + std::strerror(err),
                   std::string("cannot store the file: ") + std::strerror(err));
            return;
        }
        LeaveTransfer();
        storedFileEofSeq_ = seq_;
        expectedSeq_ = (seq_ + 1) % 64;
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
    const std::string silence = std::to_string(staleTransferMs_ / 1000) + " s";
    GiveUp("No answer for " + silence, "no answer for " + silence);
}

void KermitServer::SendRequestedFile(const ByteString& name)
{
    SetBusy(true);
    if (!IsSafeFileName(name)) {
        RejectName(name);
        return;
    }
    LeaveTransfer();
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
    ReportProgress(0, outgoing_.Size(), startTick_, StatusReporter());
    mode_ = EngineMode::Sending;
    phase_ = SendPhase::AwaitInitAck;
    sendData_ = MaxSendData;
    SendPacket(SendInitType, 0, ByteString(SendInit));
}

void KermitServer::SendPacket(char type, int seq, ByteString data)
{
    nextType_ = type;
    sentSeq_ = seq % 64;
    outData_ = std::move(data);
    retries_ = 0;
    resent_ = false;
    channel_.SendFrame(nextType_, sentSeq_, outData_);
}

void KermitServer::RetryPacket(bool noisy)
{
    // Later packets get shorter: they are hit less often by the noise that hit this one.
    // The packet in flight itself goes out unchanged, as the calculator may hold it
    // already (only its Y was lost).
    if (noisy && nextType_ == DataType) sendData_ = std::max(MinSendData, sendData_ * 2 / 3);
    resent_ = true;
    channel_.SendFrame(nextType_, sentSeq_, outData_);
}

void KermitServer::PacketTaken(int seq)
{
    // Only the Y to the packet in flight moves the transfer on. A repeated Y for the one
    // before (the calculator's answer to a resend) would otherwise skip a packet.
    if (seq != sentSeq_) {
        Trace("Kermit ignores Y " + std::to_string(seq) + " while packet " + std::to_string(sentSeq_) + " waits");
        return;
    }
    if (!resent_ && nextType_ == DataType) sendData_ = std::min(MaxSendData, sendData_ + 4);
    const int next = (sentSeq_ + 1) % 64;
    switch (phase_) {
    case SendPhase::AwaitInitAck:
        link_->Pause(FileHeaderDelayMs);
        phase_ = SendPhase::SendingData;
        SendPacket(FileType, next, FileNamePart(filePath_));
        return;
    case SendPhase::SendingData: {
        ByteString field = outgoing_.NextField(sendData_);
        ReportProgress(outgoing_.Position(), outgoing_.Size(), startTick_, StatusReporter());
        if (Cancelled()) channel_.SendFrame(ErrorType, next, Str::CanceledByPC);
        if (field.empty()) {
            phase_ = SendPhase::AwaitEofAck;
            SendPacket(EofType, next, {});
        } else {
            SendPacket(DataType, next, std::move(field));
        }
        return;
    }
    case SendPhase::AwaitEofAck:
        ReportStatus(StatusReport::Finished());
        phase_ = SendPhase::AwaitBreakAck;
        SendPacket(BreakType, next, {});
        return;
    case SendPhase::AwaitBreakAck:
        LeaveTransfer();
        ReportStatus(StatusReport::Finished());
        return;
    }
}

void KermitServer::HandleNak()
{
    if (mode_ == EngineMode::Sending) {
        // An N for the packet after the one in flight says the calculator has that one
        // (its Y was lost); an N for the one in flight asks for it again. Any other N is
        // stale and changes nothing: resending some packet under another number would
        // store its data twice.
        if (seq_ == (sentSeq_ + 1) % 64) {
            Trace("Kermit takes N " + std::to_string(seq_) + " as the Y to packet " + std::to_string(sentSeq_));
            PacketTaken(sentSeq_);
        } else if (seq_ == sentSeq_) {
            if (CountRetry()) RetryPacket(true);
        } else {
            Trace("Kermit ignores N " + std::to_string(seq_) + " while packet " + std::to_string(sentSeq_) + " waits");
        }
        return;
    }
    if (statusDialog_ && statusDialog_->IsStatusVisible()) {
        ReportStatus(StatusReport::Finished());
        return;
    }
    // The calculator waits for the first packet of a transfer this server never started:
    // its R was lost on the way. Told so, it can ask again at once instead of repeating
    // its N until its own retry limit.
    if (link_->Now() - idleSince_ >= LateAnswerMs) {
        Trace("Kermit answers N " + std::to_string(seq_) + " while idle: the request did not arrive");
        channel_.SendFrame(ErrorType, seq_, RequestNotReceived);
    }
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

bool KermitServer::Cancelled() const { return statusDialog_ && !statusDialog_->IsStatusVisible(); }

std::string KermitServer::CurrentFolder() const
{
    std::string folder;
    RunInMainThread([&] { folder = Folder; });
    return folder;
}
