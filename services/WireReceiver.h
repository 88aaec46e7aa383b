#pragma once
// The wire receive: one object that the user sends from the calculator's own send menu
// arrives in XModem blocks with the 8-bit checksum and is kept in memory. The thread
// shows its progress in the application's status dialog and is cancelled by closing it.
#include <atomic>
#include <cstdint>
#include <string>

#include "link/Link.h"
#include "util/ByteString.h"
#include "util/HostInterfaces.h"
#include "util/MainThread.h"

class WireReceiver final : public WorkerThread {
public:
    // Where the receive runs: in its own thread, started at once (the windows and the
    // tools), or to its end inside the constructor, in the caller's thread (a line in
    // memory, whose other side plays in that thread too).
    enum class RunIn { OwnThread, Caller };
    // Starts the receive on the lent link. expectedSize is only the progress total
    // (0: unknown). Progress goes to statusDialog, which may be missing.
    WireReceiver(LinkLease link, IStatusDialog* statusDialog, const std::string& displayName, int expectedSize,
                 RunIn runIn = RunIn::OwnThread);
    // Asks the thread to stop and waits for it, still serving its synchronised calls.
    ~WireReceiver() override;

    // Hands report to StatusDialog in the main thread and waits until it has run.
    void ReportStatus(const StatusReport& report);

    const std::string DisplayName;
    const int ExpectedSize;
    IStatusDialog* const StatusDialog;
    // Read by the creator once the thread has ended.
    std::atomic<bool> Success{false};
    ByteString ReceivedData;
    // Why the receive failed ("link lost", "the calculator cancelled", ...); empty after
    // a success and after the user's own stop, which needs no explanation.
    std::string FailureText;

    // How long a read waits for the calculator; the serial port's own limits apply there.
    static constexpr int ReadTimeoutMs = 1000;
    // Bad or missing replies while one block is awaited before the calculator is taken
    // as not ready, and empty reads inside one block before it is refused.
    static constexpr int MaxBadReplies = 6;
    static constexpr int MaxEmptyReads = 6;

protected:
    void Work() override { Execute(); }

private:
    void Execute();
    void ReceiveBlocks();
    // The header byte has been read; reads the rest, verifies it, answers ACK or NAK.
    bool ReceiveBlock(uint8_t header);
    bool VerifyBlock(const ByteString& block) const;
    bool RefuseBlock();
    void HandleError(const std::string& message);
    // Records why and says it in the dialog (and so in the log) while it still shows.
    void TellFailure(const std::string& why);
    void OpenStatusDialog(const std::string& caption);
    bool CancelRequested() const;
    uint8_t ReadReplyByte();
    void SendByte(uint8_t b);
    void SendCancel();

    LinkLease link_;

    int receivedBytes_ = 0;
    unsigned blockCounter_ = 0; // the block expected next; its low byte is on the wire
    bool started_ = false;
    uint32_t startTick_ = 0;
};
