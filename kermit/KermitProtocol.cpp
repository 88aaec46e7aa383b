// SPDX-License-Identifier: GPL-3.0-or-later
#include "kermit/KermitProtocol.h"

#include <algorithm>
#include <cstring>

#include "kermit/ReceivedFile.h"
#include "link/Trace.h"
#include "util/CalvyxError.h"
#include "util/StringTable.h"
#include "util/Utils.h"

namespace kermit {

namespace {

// Pause before the F packet of a requested file, after the Y to our S.
constexpr int FileHeaderDelayMs = 200;
// An N while idle this long after the last transfer is no late answer to that transfer.
constexpr uint32_t LateAnswerMs = 2000;

constexpr const char* InvalidFileName = "Invalid file name";
constexpr const char* CannotStoreFile = "Cannot store file";
constexpr const char* NoFileBeingReceived = "No file is being received";
constexpr const char* TooManyErrors = "Too many errors";
constexpr const char* NotEnoughSpace = "Not enough disk space";
constexpr const char* RequestNotReceived = "Request not received";

} // namespace

KermitProtocol::KermitProtocol(KermitActions& actions, TransferEventSink events, std::string folder, uint32_t now)
    : actions_(actions), events_(std::move(events)), folder_(std::move(folder)), now_(now), idleSince_(now)
{
}

// ---- events ----

void KermitProtocol::Begin(TransferKind kind, const std::string& file, int64_t total)
{
    kind_ = kind;
    shownName_ = file;
    startTick_ = now_;
    reporting_ = true;
    TransferEvent event;
    event.stage = TransferStage::Started;
    event.kind = kind;
    event.file = file;
    event.total = total;
    if (events_) events_(event);
}

void KermitProtocol::Progress(int64_t done, int64_t total)
{
    if (!reporting_ || !events_) return;
    TransferEvent event;
    event.stage = TransferStage::Progress;
    event.kind = kind_;
    event.file = shownName_;
    event.done = done;
    event.total = total;
    event.elapsedMs = now_ - startTick_;
    events_(event);
}

void KermitProtocol::End(TransferOutcome outcome, TransferReason reason, const std::string& detail)
{
    // What was received of a file that did not arrive is gone before anyone hears the
    // transfer ended: whoever listens may look at the folder at once.
    if (outcome != TransferOutcome::Completed) incoming_.Discard();
    if (!reporting_) return;
    reporting_ = false;
    if (!events_) return;
    TransferEvent event;
    event.stage = TransferStage::Ended;
    event.kind = kind_;
    event.file = shownName_;
    event.elapsedMs = now_ - startTick_;
    event.outcome = outcome;
    event.reason = reason;
    event.detail = detail;
    events_(event);
}

void KermitProtocol::Refused(TransferKind kind, const ByteString& name, TransferReason reason, const std::string& detail)
{
    if (!events_) return;
    TransferEvent event;
    event.stage = TransferStage::Ended;
    event.kind = kind;
    event.file = VisibleText(name);
    event.outcome = TransferOutcome::Failed;
    event.reason = reason;
    event.detail = detail;
    events_(event);
}

// ---- the dialogue ----

void KermitProtocol::Send(char type, int seq, std::string_view data)
{
    framesSent_ = true;
    actions_.SendFrame(type, seq, data);
}

void KermitProtocol::LeaveTransfer()
{
    // A transfer the calculator left without a word (it started another one, or said
    // goodbye in the middle of a file).
    End(TransferOutcome::Failed, TransferReason::CalculatorCancelled);
    if (mode_ != Mode::Idle) idleSince_ = now_;
    mode_ = Mode::Idle;
    incoming_.Discard();
    outgoing_.Close();
    retries_ = 0;
    cancelRequested_ = false;
}

void KermitProtocol::CancelTransfer()
{
    if (mode_ != Mode::Idle) cancelRequested_ = true;
}

bool KermitProtocol::LinkFailed(const std::string& what, uint32_t now)
{
    now_ = now;
    End(TransferOutcome::Failed, TransferReason::LinkLost, what);
    LeaveTransfer();
    try {
        Send(NakType, seq_, {});
        actions_.ClearInput();
        return true;
    } catch (const CalvyxError& e) {
        TraceWith([&] { return std::string("Kermit recovery failed: ") + e.what(); });
        return false;
    }
}

void KermitProtocol::Stop(bool tellCalculator, uint32_t now)
{
    now_ = now;
    End(TransferOutcome::Cancelled, TransferReason::Stopped);
    LeaveTransfer();
    // A calculator in the middle of a transfer stops when it hears this.
    if (!tellCalculator) return;
    try {
        Send(ErrorType, seq_, Str::UserCancel);
    } catch (const CalvyxError&) {
    }
}

void KermitProtocol::Handle(const ReceivedFrame& frame, uint32_t now)
{
    now_ = now;
    if (frame.kind != KindNone || frame.damaged) lastHeard_ = now_;
    switch (frame.kind) {
    case KindNone:
        HandleSilence(frame.damaged);
        return;
    case KindXModemRequest:
        if (mode_ == Mode::Idle && !frame.data.empty()) {
            actions_.TransferBegins();
            actions_.SendByXModem(static_cast<uint8_t>(frame.data[0]), folder_);
        }
        return;
    case KindScreenPush:
        if (mode_ == Mode::Idle) actions_.ScreenPushed();
        finished_ = true;
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
        TraceWith([&] { return "Error: " + frame.data; });
        End(TransferOutcome::Failed, TransferReason::CalculatorCancelled, VisibleText(DecodeData(frame.data)));
        LeaveTransfer();
        Ack();
        expectedSeq_ = 0;
        break;
    case FileType:
        ReceiveFileHeader(frame.data);
        break;
    case InitType:
    case SendInitType:
        LeaveTransfer();
        storedFileEofSeq_ = -1;
        Send(AckType, seq_, SendInit);
        // An S opens a transfer whose F follows under the next number; an I stands alone,
        // and what follows it (an R, an S) starts again at 0.
        expectedSeq_ = static_cast<char>(frame.kind) == SendInitType ? (seq_ + 1) % 64 : 0;
        break;
    case MessageType:
        Ack();
        TraceWith([&] { return "Message: " + frame.data; });
        LeaveTransfer();
        break;
    case NakType:
        HandleNak();
        break;
    case ReceiveInitType:
        SendRequestedFile(frame.data);
        break;
    case AckType:
        if (mode_ == Mode::Sending) PacketTaken(seq_);
        break;
    case EofType:
        ReceiveEndOfFile(frame.data);
        break;
    case AttributeType:
        if (mode_ == Mode::Receiving) {
            ReceiveAttributes(frame.data);
            break;
        }
        [[fallthrough]];
    default:
        Trace("Unknown or unexpected valid packet");
        break;
    }
}

void KermitProtocol::HandleSilence(bool damaged)
{
    if (mode_ != Mode::Idle && now_ - lastHeard_ >= staleTransferMs_) {
        AbandonStaleTransfer();
        return;
    }
    switch (mode_) {
    case Mode::Idle:
        // A damaged S, I, R or F: the calculator hears at once that it should send again,
        // instead of waiting out its own time-out.
        if (damaged) Send(NakType, expectedSeq_, {});
        return;
    case Mode::Receiving:
        if (damaged) {
            if (CountRetry()) Send(NakType, (lastSeq_ + 1) % 64, {});
        } else if (framesSent_) {
            actions_.ResendLastFrame();
        }
        return;
    case Mode::Sending:
        // The answer was lost or damaged: the packet in flight goes out again. Only a
        // damaged answer says the line is noisy; a silence may be a calculator that is slow.
        if (!damaged)
            RetryPacket(false);
        else if (CountRetry())
            RetryPacket(true);
        return;
    }
}

bool KermitProtocol::CountRetry()
{
    if (++retries_ <= MaxRetries) return true;
    GiveUp(TooManyErrors, TransferReason::TooManyErrors);
    return false;
}

void KermitProtocol::GiveUp(const std::string& errorText, TransferReason reason, const std::string& detail)
{
    TraceWith([&] { return "Kermit gives the transfer up: " + errorText; });
    End(TransferOutcome::Failed, reason, detail);
    LeaveTransfer();
    expectedSeq_ = 0;
    Send(ErrorType, seq_, errorText);
}

void KermitProtocol::RejectName(const ByteString& name, TransferKind kind)
{
    TraceWith([&] { return "Kermit refuses the file name " + HexBytes(name); });
    LeaveTransfer();
    Refused(kind, name, TransferReason::NameRefused);
    Send(ErrorType, seq_, InvalidFileName);
}

void KermitProtocol::ReceiveFileHeader(const ByteString& name)
{
    actions_.TransferBegins();
    if (!IsSafeFileName(name)) {
        RejectName(name, TransferKind::KermitReceive);
        return;
    }
    LeaveTransfer();
    storedFileEofSeq_ = -1;
    filePath_ = receive_.inbox.empty() ? PathInFolder(name) : receive_.inbox + "/" + name;
    // The file goes to disk as it arrives, into a temporary file that replaces the older
    // one of its name only at the end.
    if (const int err = incoming_.Begin(filePath_); err != 0) {
        TraceWith([&] { return "Kermit cannot create a file in the folder for " + filePath_ + ": " + std::strerror(err); });
        Refused(TransferKind::KermitReceive, name, TransferReason::CannotStore, std::strerror(err));
        Send(ErrorType, seq_, std::string(CannotStoreFile) + ": " + std::strerror(err));
        return;
    }
    Ack();
    TraceWith([&] { return "Kermit receiving begins for " + filePath_; });
    mode_ = Mode::Receiving;
    lastSeq_ = seq_;
    expectedSeq_ = (seq_ + 1) % 64;
    Begin(TransferKind::KermitReceive, VisibleText(FileNamePart(filePath_)), 0); // the calculator announces no size
    Progress(0, 0);
}

void KermitProtocol::ReceiveAttributes(const ByteString& field)
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
        GiveUp(NotEnoughSpace, TransferReason::NotEnoughSpace,
               std::to_string(announced) + " bytes announced, " + std::to_string(free) + " free");
        return;
    }
    lastSeq_ = seq_;
    expectedSeq_ = (seq_ + 1) % 64;
    Ack();
}

void KermitProtocol::ReceiveData(const ByteString& field)
{
    // A D that belongs to no file being received (the S and F went to an engine that has
    // ended, or were lost) must not be acknowledged: the calculator would go on and take
    // the file for delivered.
    if (mode_ != Mode::Receiving) {
        RefuseOrphan("D");
        return;
    }
    if (!IsEncodedData(field)) {
        // No calculator sends this: a frame damaged on the way whose 6-bit check matched
        // by chance. Asked for again, as for a frame that failed its check.
        TraceWith([&] { return "<- kermit data field that no encoding gives: " + HexBytes(field); });
        if (CountRetry()) Send(NakType, (lastSeq_ + 1) % 64, {});
        return;
    }
    retries_ = 0;
    if (seq_ == (lastSeq_ + 1) % 64) {
        // The bytes reach the disk before the calculator hears its Y: a full disk is
        // told at the packet that met it, and nothing acknowledged is lost.
        if (const int err = incoming_.Append(DecodeData(field)); err != 0) {
            GiveUp(std::string(CannotStoreFile) + ": " + std::strerror(err), TransferReason::CannotStore, std::strerror(err));
            return;
        }
        lastSeq_ = seq_;
        expectedSeq_ = (seq_ + 1) % 64;
        Ack();
        Progress(incoming_.Written(), 0);
        if (cancelRequested_) {
            // The user cancelled: nothing of the file is kept (gone before the calculator
            // hears why), and the calculator hears why.
            End(TransferOutcome::Cancelled, TransferReason::UserCancelled);
            LeaveTransfer();
            Send(ErrorType, seq_, Str::CanceledByPC);
        }
    } else if (seq_ == lastSeq_ % 64) {
        Ack(); // a repeat of the packet already taken: its Y was lost
    } else {
        Send(NakType, seq_, {});
    }
}

void KermitProtocol::ReceiveEndOfFile(const ByteString& field)
{
    // Outside a file only the repeat of the Z that ended the file stored last (its Y was
    // lost) is acknowledged again.
    if (mode_ != Mode::Receiving && seq_ != storedFileEofSeq_) {
        RefuseOrphan("Z");
        return;
    }
    if (mode_ == Mode::Receiving) {
        if (cancelRequested_) {
            // The user cancelled after the last data: the file is not stored.
            End(TransferOutcome::Cancelled, TransferReason::UserCancelled);
            LeaveTransfer();
            Send(ErrorType, seq_, Str::CanceledByPC);
            return;
        }
        // "D" in a Z packet: the sender discards the file it was sending.
        if (field == "D") {
            TraceWith([&] { return "Kermit file discarded by the sender: " + filePath_; });
            incoming_.Discard();
            End(TransferOutcome::Failed, TransferReason::CalculatorCancelled);
        } else if (const int err = incoming_.Commit(receive_.sameName); err != 0) {
            // The calculator must not hear a Y: it would take the file for delivered.
            TraceWith([&] { return std::string("Kermit could not store the file: ") + std::strerror(err); });
            GiveUp(std::string(CannotStoreFile) + ": " + std::strerror(err), TransferReason::CannotStore, std::strerror(err));
            return;
        } else {
            End(TransferOutcome::Completed, TransferReason::None);
        }
        LeaveTransfer();
        storedFileEofSeq_ = seq_;
        expectedSeq_ = (seq_ + 1) % 64;
    }
    Ack();
}

void KermitProtocol::RefuseOrphan(const char* type)
{
    TraceWith([&] { return std::string("Kermit refuses ") + type + " " + std::to_string(seq_) + ": no file is being received"; });
    Send(ErrorType, seq_, NoFileBeingReceived);
}

void KermitProtocol::AbandonStaleTransfer()
{
    TraceWith([&] { return "Kermit transfer abandoned: nothing heard for " + std::to_string(staleTransferMs_) + " ms"; });
    const std::string silence = std::to_string(staleTransferMs_ / 1000) + " s";
    GiveUp("No answer for " + silence, TransferReason::NoAnswer, silence);
}

void KermitProtocol::SendRequestedFile(const ByteString& name)
{
    actions_.TransferBegins();
    if (!IsSafeFileName(name)) {
        RejectName(name, TransferKind::KermitSend);
        return;
    }
    LeaveTransfer();
    filePath_ = PathInFolder(name);
    TraceWith([&] { return "Kermit sending begins for " + filePath_; });
    // Only a regular file that lives in the folder itself goes out: OutgoingFile refuses
    // a symbolic link (it may lead out of the folder), a pipe, a device and a folder.
    if (!outgoing_.Open(filePath_)) {
        TraceWith([&] { return "Kermit does not send " + filePath_ + ": not a regular file in the folder"; });
        Refused(TransferKind::KermitSend, name, TransferReason::FileNotFound);
        Send(ErrorType, seq_, Str::FileDoesNotExist);
        return;
    }
    Begin(TransferKind::KermitSend, VisibleText(FileNamePart(filePath_)), outgoing_.Size());
    if (outgoing_.Size() > 0) Progress(0, outgoing_.Size());
    mode_ = Mode::Sending;
    phase_ = SendPhase::AwaitInitAck;
    sendData_ = MaxSendData;
    SendPacket(SendInitType, 0, ByteString(SendInit));
}

void KermitProtocol::SendPacket(char type, int seq, ByteString data)
{
    nextType_ = type;
    sentSeq_ = seq % 64;
    outData_ = std::move(data);
    retries_ = 0;
    resent_ = false;
    Send(nextType_, sentSeq_, outData_);
}

void KermitProtocol::RetryPacket(bool noisy)
{
    // Later packets get shorter: they are hit less often by the noise that hit this one.
    // The packet in flight itself goes out unchanged, as the calculator may hold it
    // already (only its Y was lost).
    if (noisy && nextType_ == DataType) sendData_ = std::max(MinSendData, sendData_ * 2 / 3);
    resent_ = true;
    Send(nextType_, sentSeq_, outData_);
}

void KermitProtocol::PacketTaken(int seq)
{
    // Only the Y to the packet in flight moves the transfer on. A repeated Y for the one
    // before (the calculator's answer to a resend) would otherwise skip a packet.
    if (seq != sentSeq_) {
        TraceWith(
            [&] { return "Kermit ignores Y " + std::to_string(seq) + " while packet " + std::to_string(sentSeq_) + " waits"; });
        return;
    }
    if (!resent_ && nextType_ == DataType) sendData_ = std::min(MaxSendData, sendData_ + 4);
    const int next = (sentSeq_ + 1) % 64;
    switch (phase_) {
    case SendPhase::AwaitInitAck:
        actions_.Pause(FileHeaderDelayMs);
        phase_ = SendPhase::SendingData;
        SendPacket(FileType, next, FileNamePart(filePath_));
        return;
    case SendPhase::SendingData: {
        ByteString field;
        try {
            field = outgoing_.NextField(sendData_);
        } catch (const CalvyxError& e) {
            // The owner's recovery answers with N; the user hears why the file stopped.
            End(TransferOutcome::Failed, TransferReason::CannotRead, e.what());
            throw;
        }
        if (outgoing_.Size() > 0) Progress(outgoing_.Position(), outgoing_.Size());
        if (cancelRequested_) {
            End(TransferOutcome::Cancelled, TransferReason::UserCancelled);
            LeaveTransfer();
            Send(ErrorType, next, Str::CanceledByPC);
            return;
        }
        if (field.empty()) {
            phase_ = SendPhase::AwaitEofAck;
            SendPacket(EofType, next, {});
        } else {
            SendPacket(DataType, next, std::move(field));
        }
        return;
    }
    case SendPhase::AwaitEofAck:
        // The calculator has the whole file; the B only ends the session.
        End(TransferOutcome::Completed, TransferReason::None);
        phase_ = SendPhase::AwaitBreakAck;
        SendPacket(BreakType, next, {});
        return;
    case SendPhase::AwaitBreakAck:
        LeaveTransfer();
        return;
    }
}

void KermitProtocol::HandleNak()
{
    if (mode_ == Mode::Sending) {
        // An N for the packet after the one in flight says the calculator has that one
        // (its Y was lost); an N for the one in flight asks for it again. Any other N is
        // stale and changes nothing: resending some packet under another number would
        // store its data twice.
        if (seq_ == (sentSeq_ + 1) % 64) {
            TraceWith(
                [&] { return "Kermit takes N " + std::to_string(seq_) + " as the Y to packet " + std::to_string(sentSeq_); });
            PacketTaken(sentSeq_);
        } else if (seq_ == sentSeq_) {
            if (CountRetry()) RetryPacket(true);
        } else {
            TraceWith([&] {
                return "Kermit ignores N " + std::to_string(seq_) + " while packet " + std::to_string(sentSeq_) + " waits";
            });
        }
        return;
    }
    // While a file comes in an N says nothing the dialogue needs.
    if (mode_ == Mode::Receiving) return;
    // The calculator waits for the first packet of a transfer this server never started:
    // its R was lost on the way. Told so, it can ask again at once instead of repeating
    // its N until its own retry limit.
    if (now_ - idleSince_ >= LateAnswerMs) {
        TraceWith([&] { return "Kermit answers N " + std::to_string(seq_) + " while idle: the request did not arrive"; });
        Send(ErrorType, seq_, RequestNotReceived);
    }
}

} // namespace kermit
