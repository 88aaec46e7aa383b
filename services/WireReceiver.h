// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The wire receive: one object that the user sends from the calculator's own send menu
// arrives in XModem blocks with the 8-bit checksum and is kept in memory. The thread
// reports what happens as transfer events and ends early when Cancel is called.
#include <atomic>
#include <cstdint>
#include <stop_token>
#include <string>

#include "link/Link.h"
#include "util/ByteString.h"
#include "util/MainThread.h"
#include "util/TransferEvent.h"

class WireReceiver final : public WorkerThread {
public:
    // Where the receive runs: in its own thread, started at once (the windows and the
    // tools), or to its end inside the constructor, in the caller's thread (a line in
    // memory, whose other side plays in that thread too).
    enum class RunIn { OwnThread, Caller };
    // Starts the receive on the lent link. expectedSize is only the progress total
    // (0: unknown). The events (kind WireReceive) go to events, which may be empty; they
    // come from the receive's thread, and it goes on once the sink has returned. cancel
    // is the user's Cancel: before the next block the calculator gets its four CAN and
    // the final ACK, and the receive ends with reason UserCancelled.
    // Until the first block the receive waits startWaitMs for the user to work the
    // calculator's menus, asking again after every silent read (see StartWaitMs).
    WireReceiver(LinkLease link, TransferEventSink events, std::stop_token cancel, const std::string& displayName,
                 int expectedSize, RunIn runIn = RunIn::OwnThread, int startWaitMs = StartWaitMs);
    // Stops the thread (the calculator is told, the end's reason is Stopped) and waits
    // for it, still serving its synchronised calls.
    ~WireReceiver() override;

    const std::string DisplayName;
    const int ExpectedSize;
    const int StartWait; // ms
    // Read by the creator once the thread has ended.
    std::atomic<bool> Success{false};
    // The object: every block's data, without the last block's padding when the
    // object's header gives its length (services/ObjectName.h); all of it otherwise.
    ByteString ReceivedData;
    // Why the receive failed ("link lost", "the calculator cancelled", ...); empty after
    // a success and after the user's own stop, which needs no explanation.
    std::string FailureText;

    // How long a read waits for the calculator: the USB link's idle time, and on a serial
    // line the wait after the time the bytes take on the line. "no answer for N s"
    // counts the USB link's seconds.
    static constexpr int ReadTimeoutMs = 1000;
    static constexpr int SerialReadTimeoutMs = 3000;
    // Bad or missing replies while one block is awaited before the calculator is taken
    // as not ready, and empty reads inside one block before it is refused.
    static constexpr int MaxBadReplies = 6;
    static constexpr int MaxEmptyReads = 6;
    // Before the first block the user still has to pick the object in the calculator's
    // send menu: silence is waited through for a minute (each silent read asks again
    // with NAK), then the receive ends with "no answer for 60 s". Cancel ends it sooner.
    static constexpr int StartWaitMs = 60000;

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
    // Records the first cause of a failure, which the end reports.
    void TellFailure(TransferReason reason, const std::string& detail = {});
    TransferEvent MakeEvent(TransferStage stage) const;
    void Report(TransferStage stage, TransferReason reason = TransferReason::None, const std::string& detail = {});
    void ReportEnd();
    bool CancelRequested() const;
    int ReadLimitMs() const;
    void SendByte(uint8_t b);
    void SendCancel();

    LinkLease link_;
    const TransferEventSink events_;
    const std::stop_token cancel_;
    TransferOutcome outcome_ = TransferOutcome::Completed;
    TransferReason reason_ = TransferReason::None;
    std::string detail_;

    int receivedBytes_ = 0;
    std::size_t lastBlockData_ = 0; // data bytes of the last block taken
    unsigned blockCounter_ = 0;     // the block expected next; its low byte is on the wire
    bool started_ = false;
    uint32_t startTick_ = 0;
    uint32_t askedTick_ = 0; // the first start byte went out
};
