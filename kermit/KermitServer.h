#pragma once
// The PC's Kermit server: a thread that runs while the PC is connected and nothing else
// uses the link. It never starts a transfer itself; it answers the calculator:
//   S, F, D..., Z, B   a file pushed by the calculator, stored in Folder
//   R                  a file asked for by name, sent from Folder (S, F, D..., Z, B)
//   NAK or "D"         an XModem request: the user picks a file and it goes out in blocks
//   0x80               the calculator pushes its screen: the main window is told, the
//                      engine ends
// Status goes to the host's status dialog through synchronised calls; OnActivity tells
// the owner (in the main thread) when a transfer starts and 4 s after it ended.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "kermit/FrameChannel.h"
#include "kermit/OutgoingFile.h"
#include "link/Link.h"
#include "util/ByteString.h"
#include "util/HostInterfaces.h"
#include "util/MainThread.h"
#include "util/ReplacementFile.h"

class QTimer;

class KermitServer : public WorkerThread {
    Q_OBJECT
public:
    // Starts the thread at once on the lent link. The owner sets Folder and OnActivity
    // right after; the engine reads both only in the main thread, so setting them
    // later is safe too. The lease goes back when the engine is destroyed.
    KermitServer(LinkLease link, TransferHost host);
    // Stops the thread and waits for its end, serving its synchronised calls meanwhile.
    ~KermitServer() override;

    // Asks the thread to end: a USB read in progress gives up, the frame timer expires.
    // On a serial link the calculator then receives E "User cancel".
    void Stop();

    // Folder (no trailing separator) that received files go to and requested files come
    // from. Written and read in the main thread only.
    std::string Folder;
    // Called in the main thread when Busy becomes true, and once 4000 ms after it became
    // false. The handler reads Busy.
    std::function<void(KermitServer*)> OnActivity;
    // A transfer is in progress.
    std::atomic<bool> Busy{false};

    static constexpr int IdleNotifyMs = 4000;
    // A transfer whose other side has gone quiet for this long is over: the engine stops
    // repeating its last answer and listens as a fresh server again.
    static constexpr uint32_t StaleTransferMs = 30000;
    // Before the first transfer only (tests shorten it).
    void SetStaleTransferLimit(uint32_t ms) { staleTransferMs_ = ms; }
    // Failed tries of one packet (an N for it, a damaged answer) before the engine gives
    // the transfer up and says so in an E packet. Above the calculator's own limit, so
    // that on a noisy line the calculator, not the PC, decides when a transfer is lost.
    static constexpr int MaxRetries = 20;
    // Data fields of the D packets the PC sends shrink to this after failed tries (a
    // shorter frame is less likely to be hit by noise) and grow back to MaxSendData
    // while packets get through at the first try.
    static constexpr std::size_t MinSendData = 20;

protected:
    void Work() override;

private:
    enum class EngineMode { Idle = 0, Receiving = 1, Sending = 2 };
    enum class SendPhase { AwaitInitAck = 0, SendingData = 1, AwaitEofAck = 2, AwaitBreakAck = 3 };

    void Execute();
    void Handle(const kermit::ReceivedFrame& frame);
    void Recover();
    void OnIdleTimer();

    // Steps of the dialogue.
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
    void RejectName(const ByteString& name);
    // Answers a D or Z that belongs to no file being received with an E.
    void RefuseOrphan(const char* type);
    // Ends the transfer in progress: a file being received is dropped (the older one of
    // its name stays), a file being sent closed.
    void LeaveTransfer();
    // The engine gives the transfer up: says why to the calculator (an E packet with
    // errorText) and to the user (why), and listens as a fresh server again.
    void GiveUp(const std::string& errorText, const std::string& why);
    // The other side went quiet in the middle of a transfer: back to idle.
    void AbandonStaleTransfer();
    // Reports why the transfer in progress failed ("Receiving NAME failed: link lost").
    void TellFailure(const std::string& why);
    void SendByXModem(uint8_t requestByte);
    void SendPacket(char type, int seq, ByteString data);

    // Synchronised steps (the engine waits for the main thread).
    void SetBusy(bool busy);
    void ReportStatus(const StatusReport& report);
    StatusSink StatusReporter(); // ReportStatus as the sink of ReportProgress
    void OpenStatusDialog();
    void HideStatusDialog();
    bool Cancelled() const;
    std::string CurrentFolder() const;
    std::string PathInFolder(const ByteString& name) const;
    void Ack() { channel_.SendFrame(kermit::AckType, seq_, {}); }

    void RequestStop();
    // Waits up to ms for a stop request; true when one came.
    bool WaitForStop(int ms);

    std::atomic<bool> terminated_{false};
    std::mutex stopMutex_;
    std::condition_variable stopSignal_;

    QTimer* idleTimer_ = nullptr; // lives in the main thread
    LinkLease link_;
    IHostWindows* host_ = nullptr;
    IStatusDialog* statusDialog_ = nullptr;
    kermit::FrameChannel channel_;
    std::string statusText_;

    // State of the dialogue; touched by the engine thread only.
    EngineMode mode_ = EngineMode::Idle;
    SendPhase phase_ = SendPhase::AwaitInitAck;
    char nextType_ = kermit::SendInitType; // the packet in flight while Sending
    ByteString outData_;
    int sentSeq_ = 0;
    int seq_ = 0;     // sequence number of the frame being answered
    int lastSeq_ = 0; // while Receiving: the last F or D taken
    // The number an N asks for when a damaged frame arrives: the packet the calculator
    // sends next as far as the engine knows (0 between transactions).
    int expectedSeq_ = 0;
    int retries_ = 0;                            // failed tries of the packet in flight, or damaged frames in a row
    bool resent_ = false;                        // the packet in flight has gone out more than once
    std::size_t sendData_ = kermit::MaxSendData; // data field size of the next D packets
    // Sequence number of the Z that ended the file stored last; -1 when there is none
    // (a fresh engine, or a new S or F since).
    int storedFileEofSeq_ = -1;
    uint32_t lastHeard_ = 0; // tick of the last frame or start byte
    uint32_t idleSince_ = 0; // line tick at which the last transfer ended
    std::atomic<uint32_t> staleTransferMs_{StaleTransferMs};
    std::string filePath_;
    ReplacementFile incoming_;      // the file being received, on its way to disk
    kermit::OutgoingFile outgoing_; // the file being sent
    uint32_t startTick_ = 0;
};
