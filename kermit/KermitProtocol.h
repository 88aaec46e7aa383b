// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The PC's side of the Kermit dialogue as a state machine: it is handed each frame the
// channel read (a silence and a damaged frame included) with the line's clock at that
// moment, and answers through KermitActions. It owns the whole dialogue: idle, receiving
// or sending, sequence numbers, retries, the file on its way. No thread, no waits of its
// own (its pauses are the line's), no windows: what the user should hear goes out as
// TransferEvents. KermitServer runs it on a link in a thread; tests and the fuzz target
// feed it directly.
//
//   S, F, [A], D..., Z, B   a file pushed by the calculator, stored in the folder
//   R                       a file asked for by name, sent from the folder (S, F, D..., Z, B)
//   NAK or "D"              an XModem request: KermitActions::SendByXModem runs the send
//   0x80                    the calculator pushes its screen: the dialogue is over
#include <cstdint>
#include <string>
#include <string_view>

#include "kermit/FrameChannel.h"
#include "kermit/OutgoingFile.h"
#include "util/ByteString.h"
#include "util/ReplacementFile.h"
#include "util/TransferEvent.h"

namespace kermit {

// What the dialogue does on the line and asks of its owner. SendFrame, ResendLastFrame,
// ClearInput and SendByXModem may raise CalvyxError when the link fails; the owner then
// calls LinkFailed.
class KermitActions {
public:
    virtual ~KermitActions() = default;
    // Builds the frame and writes it (FrameChannel::SendFrame).
    virtual void SendFrame(char type, int seq, std::string_view data) = 0;
    // Writes the last frame again, as it went out.
    virtual void ResendLastFrame() = 0;
    // A settle time on the line's clock.
    virtual void Pause(int ms) = 0;
    // Drains what the calculator still sends.
    virtual void ClearInput() = 0;
    // An F, R or XModem request begins a transfer (the owner shows it is busy).
    virtual void TransferBegins() {}
    // The calculator asked for an XModem send while the dialogue was idle: the whole
    // send happens in this call, in folder (where the file chooser opens).
    virtual void SendByXModem(uint8_t requestByte, const std::string& folder) = 0;
    // The calculator pushes its screen while the dialogue is idle.
    virtual void ScreenPushed() {}
};

class KermitProtocol {
public:
    // A transfer whose other side has gone quiet for this long is over: the dialogue stops
    // repeating its last answer and listens as a fresh server again.
    static constexpr uint32_t StaleTransferMs = 30000;
    // Failed tries of one packet (an N for it, a damaged answer) before the transfer is
    // given up and the calculator told why in an E packet. Above the calculator's own
    // limit, so that on a noisy line the calculator, not the PC, decides when a transfer
    // is lost.
    static constexpr int MaxRetries = 20;
    // Data fields of the D packets the PC sends shrink to this after failed tries (a
    // shorter frame is less likely to be hit by noise) and grow back to MaxSendData while
    // packets get through at the first try.
    static constexpr std::size_t MinSendData = 20;

    // folder: where received files go and requested files come from (no trailing
    // separator). now: the line's clock.
    KermitProtocol(KermitActions& actions, TransferEventSink events, std::string folder, uint32_t now);
    KermitProtocol(const KermitProtocol&) = delete;
    KermitProtocol& operator=(const KermitProtocol&) = delete;

    // Takes effect with the next file.
    void SetFolder(std::string folder) { folder_ = std::move(folder); }
    const std::string& Folder() const { return folder_; }
    // Takes effect with the next file.
    void SetReceiveRules(ReceiveRules rules) { receive_ = std::move(rules); }
    void SetStaleTransferLimit(uint32_t ms) { staleTransferMs_ = ms; }

    // One frame from the channel (or its silence), read when the line's clock said now.
    void Handle(const ReceivedFrame& frame, uint32_t now);
    // The user cancels the transfer in progress: at its next packet the calculator hears
    // E "Canceled by PC", what was received of the file is dropped, and the transfer ends
    // as UserCancelled. Nothing happens while idle.
    void CancelTransfer();
    // The link failed while a frame was read or answered (what: CalvyxError's message,
    // empty when the link is gone): the transfer in progress ends as LinkLost, and the
    // calculator is asked with N to send again. False when even that failed (the device
    // is gone): the owner waits a while before it reads again.
    bool LinkFailed(const std::string& what, uint32_t now);
    // The owner stops: the transfer in progress ends as Stopped, and on a line where the
    // calculator can hear it (tellCalculator), it hears E "User cancel".
    void Stop(bool tellCalculator, uint32_t now);

    bool Idle() const { return mode_ == Mode::Idle; }
    // The calculator pushed its screen: the owner ends the dialogue.
    bool Finished() const { return finished_; }

private:
    enum class Mode { Idle, Receiving, Sending };
    enum class SendPhase { AwaitInitAck, SendingData, AwaitEofAck, AwaitBreakAck };

    void HandleSilence(bool damaged);
    void ReceiveFileHeader(const ByteString& name);
    void ReceiveAttributes(const ByteString& field);
    void ReceiveData(const ByteString& field);
    void ReceiveEndOfFile(const ByteString& field);
    void SendRequestedFile(const ByteString& name);
    // The calculator has the packet numbered seq (its Y, or an N for the next one).
    void PacketTaken(int seq);
    void HandleNak();
    // Sends the packet in flight again; noisy: the line damaged it or its answer.
    void RetryPacket(bool noisy);
    // One more failed try; past MaxRetries the transfer is given up.
    bool CountRetry();
    void RejectName(const ByteString& name, TransferKind kind);
    // Answers a D or Z that belongs to no file being received with an E.
    void RefuseOrphan(const char* type);
    // Ends the transfer in progress: a file being received is dropped (the older one of
    // its name stays), a file being sent closed.
    void LeaveTransfer();
    // Gives the transfer up: tells the user why (reason, detail) and the calculator (an E
    // packet with errorText), and listens as a fresh server again.
    void GiveUp(const std::string& errorText, TransferReason reason, const std::string& detail = {});
    void AbandonStaleTransfer();
    void SendPacket(char type, int seq, ByteString data);
    void Send(char type, int seq, std::string_view data);
    void Ack() { Send(AckType, seq_, {}); }
    std::string PathInFolder(const ByteString& name) const { return folder_ + "/" + name; }

    // Events of the transfer in progress; none after it ended.
    void Begin(TransferKind kind, const std::string& file, int64_t total);
    void Progress(int64_t done, int64_t total);
    void End(TransferOutcome outcome, TransferReason reason, const std::string& detail = {});
    // An F or R that never became a transfer.
    void Refused(TransferKind kind, const ByteString& name, TransferReason reason, const std::string& detail = {});

    KermitActions& actions_;
    TransferEventSink events_;
    std::string folder_;
    ReceiveRules receive_;
    uint32_t staleTransferMs_ = StaleTransferMs;
    uint32_t now_ = 0; // the line's clock when the frame being handled was read
    bool finished_ = false;

    Mode mode_ = Mode::Idle;
    SendPhase phase_ = SendPhase::AwaitInitAck;
    char nextType_ = SendInitType; // the packet in flight while Sending
    ByteString outData_;
    int sentSeq_ = 0;
    int seq_ = 0;     // sequence number of the frame being answered
    int lastSeq_ = 0; // while Receiving: the last F or D taken
    // The number an N asks for when a damaged frame arrives: the packet the calculator
    // sends next as far as the dialogue knows (0 between transactions).
    int expectedSeq_ = 0;
    int retries_ = 0;                    // failed tries of the packet in flight, or damaged frames in a row
    bool resent_ = false;                // the packet in flight has gone out more than once
    std::size_t sendData_ = MaxSendData; // data field size of the next D packets
    // Sequence number of the Z that ended the file stored last; -1 when there is none
    // (a fresh dialogue, or a new S or F since).
    int storedFileEofSeq_ = -1;
    bool framesSent_ = false; // a frame went out that a silence may ask for again
    uint32_t lastHeard_ = 0;  // line clock of the last frame or start byte
    uint32_t idleSince_ = 0;  // line clock at which the last transfer ended
    bool cancelRequested_ = false;
    std::string filePath_;
    ReplacementFile incoming_; // the file being received, on its way to disk
    OutgoingFile outgoing_;    // the file being sent

    // The transfer the events are about.
    bool reporting_ = false; // Started went out, Ended not yet
    TransferKind kind_ = TransferKind::KermitReceive;
    std::string shownName_;
    uint32_t startTick_ = 0;
};

} // namespace kermit
