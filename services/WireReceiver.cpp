// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/WireReceiver.h"

#include <cstdio>
#include <exception>
#include <optional>

#include "link/LinkErrors.h"
#include "link/Trace.h"
#include "services/ObjectName.h"
#include "util/CalvyxError.h"
#include "util/MainThread.h"
#include "util/StringTable.h"
#include "util/Ticks.h"
#include "util/TransferText.h"
#include "xmodem/XModemBlock.h"

void WireReceiver::SendByte(uint8_t b) { link_->Write(ByteString(1, static_cast<char>(b))); }

// Four CAN bytes: the calculator aborts on the first one; the others cover a line that
// swallowed one.
void WireReceiver::SendCancel() { link_->Write(ByteString(4, static_cast<char>(xmodem::CAN))); }

WireReceiver::WireReceiver(LinkLease link, TransferEventSink events, std::stop_token cancel, const std::string& displayName,
                           int expectedSize, RunIn runIn, int startWaitMs)
    : DisplayName(displayName), ExpectedSize(expectedSize), StartWait(startWaitMs), link_(std::move(link)),
      events_(std::move(events)), cancel_(std::move(cancel))
{
    if (runIn == RunIn::Caller)
        Execute();
    else
        start();
}

WireReceiver::~WireReceiver()
{
    requestInterruption();
    WaitServingCalls(this);
    wait();
}

TransferEvent WireReceiver::MakeEvent(TransferStage stage) const
{
    TransferEvent event;
    event.stage = stage;
    event.kind = TransferKind::WireReceive;
    event.file = DisplayName;
    event.done = receivedBytes_;
    event.total = ExpectedSize > 0 ? ExpectedSize : 0;
    event.elapsedMs = started_ ? link_->Now() - startTick_ : 0;
    return event;
}

void WireReceiver::Report(TransferStage stage, TransferReason reason, const std::string& detail)
{
    if (!events_) return;
    TransferEvent event = MakeEvent(stage);
    event.reason = reason;
    event.detail = detail;
    events_(event);
}

void WireReceiver::ReportEnd()
{
    if (!events_) return;
    TransferEvent event = MakeEvent(TransferStage::Ended);
    event.outcome = outcome_;
    event.reason = reason_;
    event.detail = detail_;
    events_(event);
}

bool WireReceiver::CancelRequested() const { return cancel_.stop_requested() || isInterruptionRequested(); }

int WireReceiver::ReadLimitMs() const { return link_->Kind() == LinkKind::Serial ? SerialReadTimeoutMs : ReadTimeoutMs; }

void WireReceiver::Execute()
{
    Success = false;
    FailureText.clear();
    receivedBytes_ = 0;
    outcome_ = TransferOutcome::Completed;
    reason_ = TransferReason::None;
    detail_.clear();
    Trace("TX Receive begins for " + DisplayName);
    try {
        ReceivedData.clear();
        lastBlockData_ = 0;
        Success = true;
        blockCounter_ = 0;
        started_ = false;
        Report(TransferStage::Started);
        // The dialog says what to do on the calculator while the receive waits for it.
        Report(TransferStage::Connecting);
        ReceiveBlocks();
    } catch (const std::exception& e) {
        HandleError(e.what());
    } catch (...) {
        HandleError("");
    }
    // The calculator needs a moment after the end before the line serves the next
    // transfer; it passes on the line's clock, in this thread.
    try {
        if (link_->IsOpen()) link_->Pause(link_->Timing().ReceiveSettleDelay);
    } catch (...) {
    }
    if (Success) {
        // The last block is padded to its full size; an object that gives its length
        // in its header loses the padding, any other keeps every byte that came.
        const std::size_t end = ReceivedObjectEnd(ReceivedData, lastBlockData_);
        if (end < ReceivedData.size()) {
            Trace("the object ends at " + std::to_string(end) + " of " + std::to_string(ReceivedData.size()) + " bytes");
            ReceivedData.resize(end);
            receivedBytes_ = static_cast<int>(end);
        }
        outcome_ = TransferOutcome::Completed;
        reason_ = TransferReason::None;
        detail_.clear();
    }
    try {
        ReportEnd();
    } catch (const std::exception& e) {
        Trace(std::string("the end of the receive not reported: ") + e.what());
    }
}

void WireReceiver::ReceiveBlocks()
{
    // The calculator sends checksum blocks whatever it is asked for; it only expects NAK
    // on its USB link and 'D' on a serial line.
    SendByte(link_->Kind() == LinkKind::Usb ? xmodem::NAK : xmodem::CrcStart);
    askedTick_ = link_->Now();
    uint8_t last = 0;
    do {
        ++blockCounter_;
        int badReplies = 0;
        int emptyReplies = 0; // bad replies that were silence
        bool settled = false;
        while (!settled) {
            if (CancelRequested()) {
                SendCancel();
                last = xmodem::EOT;
                Success = false;
                outcome_ = TransferOutcome::Cancelled;
                reason_ = cancel_.stop_requested() ? TransferReason::UserCancelled : TransferReason::Stopped;
                break;
            }
            const std::optional<uint8_t> reply = link_->ReadByte(ReadLimitMs());
            last = reply.value_or(0); // silence: no valid header either
            switch (last) {
            case xmodem::SOH:
            case xmodem::STX:
                settled = ReceiveBlock(last); // a refused block is awaited again
                break;
            case xmodem::EOT:
                settled = true;
                break;
            case xmodem::CAN:
                Trace("CAN received from the calculator");
                TellFailure(TransferReason::CalculatorCancelled);
                link_->Fail();
            default: {
                link_->ClearInput();
                if (!reply && !started_) {
                    // The user is still at the calculator's menus: its silence is no
                    // failure until the start wait is over.
                    if (link_->Now() - askedTick_ < static_cast<uint32_t>(StartWait)) {
                        SendByte(xmodem::NAK);
                        break;
                    }
                    TellFailure(TransferReason::NoAnswer, std::to_string(StartWait / 1000) + " s");
                    Report(TransferStage::Notice, TransferReason::NotReady);
                    last = xmodem::EOT;
                    Success = false;
                    settled = true;
                    break;
                }
                SendByte(xmodem::NAK);
                ++badReplies;
                if (!reply) ++emptyReplies;
                char line[64];
                std::snprintf(line, sizeof line, "Rx Error #%d Reply was 0x%02X", badReplies, last);
                Trace(line);
                if (badReplies >= MaxBadReplies) {
                    // "Not ready", then why: the dialog keeps both up.
                    if (badReplies == emptyReplies)
                        TellFailure(TransferReason::NoAnswer, std::to_string(badReplies * ReadTimeoutMs / 1000) + " s");
                    else
                        TellFailure(TransferReason::BadBlocks);
                    Report(TransferStage::Notice, TransferReason::NotReady);
                    last = xmodem::EOT;
                    Success = false;
                    settled = true;
                }
            }
            }
        }
    } while (last != xmodem::EOT);
    SendByte(xmodem::ACK); // also after a cancel or a silent calculator
}

bool WireReceiver::ReceiveBlock(uint8_t header)
{
    const std::size_t dataSize = xmodem::DataSizeFor(header);
    const std::size_t blockSize = xmodem::BlockLength(header, xmodem::CheckMode::Checksum);
    if (!started_) {
        startTick_ = link_->Now();
        started_ = true;
    }
    // Without an announced size (total 0) there is no share to show: the bytes so far and
    // the rate tell the truth.
    if (ExpectedSize >= 0) Report(TransferStage::Progress);

    // The calculator's block may come in several bursts; a silent line inside a block
    // ends it after a few empty reads (the first read does not count).
    ByteString block(1, static_cast<char>(header));
    block.reserve(blockSize);
    int emptyReads = 0;
    bool firstRead = true;
    while (block.size() < blockSize) {
        ByteString chunk(blockSize - block.size(), '\0');
        const int got = link_->Read(chunk, ReadLimitMs());
        block.append(chunk, 0, static_cast<std::size_t>(got));
        if (got == 0 && !firstRead && ++emptyReads >= MaxEmptyReads) return RefuseBlock();
        firstRead = false;
    }
    TraceFrame("Rx block", block);
    if (!VerifyBlock(block)) return RefuseBlock();

    ReceivedData.append(block, 3, dataSize); // the padding goes at the end, if the header says where
    receivedBytes_ += static_cast<int>(dataSize);
    lastBlockData_ = dataSize;
    SendByte(xmodem::ACK);
    return true;
}

bool WireReceiver::VerifyBlock(const ByteString& block) const
{
    const auto result = xmodem::VerifyBlock(block, blockCounter_, xmodem::CheckMode::Checksum);
    if (!result.Accepted()) Trace(std::string("Rx block refused: ") + xmodem::BlockVerdictName(result.verdict));
    return result.Accepted();
}

bool WireReceiver::RefuseBlock()
{
    Report(TransferStage::Notice); // a notice of nothing blanks the dialog's text line
    link_->ClearInput();
    SendByte(xmodem::NAK);
    return false;
}

void WireReceiver::TellFailure(TransferReason reason, const std::string& detail)
{
    if (outcome_ == TransferOutcome::Failed) return; // the first cause is the one to tell
    outcome_ = TransferOutcome::Failed;
    reason_ = reason;
    detail_ = detail;
    TransferEvent event;
    event.kind = TransferKind::WireReceive;
    event.reason = reason;
    event.detail = detail;
    FailureText = FailureWhy(event);
}

void WireReceiver::HandleError(const std::string& message)
{
    // The link may be what failed: the cancel bytes and the drain are a courtesy to the
    // calculator, and a second failure must not leave the thread with an error in hand.
    try {
        Trace("sending CAN");
        // The error's own words first (the log keeps them), then the failure says why.
        if (!message.empty() && outcome_ != TransferOutcome::Failed)
            Report(TransferStage::Notice, TransferReason::LinkLost, message);
        TellFailure(TransferReason::LinkLost, message);
        try {
            SendCancel();
            link_->ClearInput();
        } catch (const std::exception& e) {
            Trace(std::string("cancel not sent: ") + e.what());
        }
        link_->Pause(link_->Timing().CancelSettleDelay);
    } catch (...) {
    }
    Success = false;
}
