// SPDX-License-Identifier: GPL-3.0-or-later
#include "xmodem/XModemSend.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/Link.h"
#include "link/LinkErrors.h"
#include "link/Trace.h"
#include "util/CalvyxError.h"
#include "util/Utils.h"
#include "xmodem/XModemBlock.h"
#include "xmodem/XModemFile.h"

namespace xmodem {

namespace {

constexpr int StartTries = 6;       // start-byte reads before giving up
constexpr int BlockTries = 6;       // sends of one block (or of EOT) without an ACK
constexpr int SilencePauseMs = 800; // after a block met silence
constexpr int ReplyLimitMs = 1000;
constexpr int SerialReplyLimitMs = 3000; // after the time the byte takes on the line

uint8_t ReadReply(Link& link)
{
    ByteString reply(1, '\0');
    link.Read(reply, link.Kind() == LinkKind::Serial ? SerialReplyLimitMs : ReplyLimitMs);
    return ByteAt(reply, 0);
}

std::string ReplyText(uint8_t b) { return std::to_string(b) + " " + std::string(1, static_cast<char>(b)); }

bool IsStartByte(uint8_t b) { return b == NAK || b == CrcStart; }

// The events of one send, once its file is chosen.
class SendEvents {
public:
    SendEvents(const XModemSendSteps& steps, std::string file, int64_t total)
        : sink_(steps.events), link_(*steps.link), file_(std::move(file)), total_(total), start_(link_.Now())
    {
        Tell(TransferStage::Started);
    }
    // The blocks begin: the elapsed time counts from here.
    void Restart() { start_ = link_.Now(); }
    void Progress(int64_t done)
    {
        if (total_ > 0) Tell(TransferStage::Progress, done);
    }
    void Notice(TransferReason reason) { Tell(TransferStage::Notice, 0, TransferOutcome::Completed, reason); }
    // Once only: the first end told is the one that counts.
    void Ended(TransferOutcome outcome, TransferReason reason = TransferReason::None, const std::string& detail = {})
    {
        if (ended_) return;
        ended_ = true;
        Tell(TransferStage::Ended, 0, outcome, reason, detail);
    }

private:
    void Tell(TransferStage stage, int64_t done = 0, TransferOutcome outcome = TransferOutcome::Completed,
              TransferReason reason = TransferReason::None, const std::string& detail = {})
    {
        if (!sink_) return;
        TransferEvent event;
        event.stage = stage;
        event.kind = TransferKind::XModemSend;
        event.file = file_;
        event.done = done;
        event.total = total_;
        event.elapsedMs = link_.Now() - start_;
        event.outcome = outcome;
        event.reason = reason;
        event.detail = detail;
        sink_(event);
    }

    const TransferEventSink& sink_;
    Link& link_;
    std::string file_;
    int64_t total_;
    uint32_t start_;
    bool ended_ = false;
};

// Waits for the receiver's start byte and sends the blocks and the end.
// readFault receives why the file could not be read when the result is ReadFailed.
XModemSendResult SendBlocks(const XModemSendSteps& steps, const XModemFile& file, SendEvents& events, std::string& readFault);

} // namespace

const char* XModemSendResultName(XModemSendResult result)
{
    switch (result) {
    case XModemSendResult::Declined:
        return "declined";
    case XModemSendResult::NoStart:
        return "no start byte";
    case XModemSendResult::Sent:
        return "sent";
    case XModemSendResult::SentEndUnconfirmed:
        return "sent, the end not confirmed";
    case XModemSendResult::Abandoned:
        return "abandoned";
    case XModemSendResult::Cancelled:
        return "cancelled by the calculator";
    case XModemSendResult::Stopped:
        return "stopped";
    case XModemSendResult::UserCancelled:
        return "cancelled on the PC";
    case XModemSendResult::ReadFailed:
        return "the file could not be read";
    }
    return "?";
}

XModemSendResult SendFileByXModem(const XModemSendSteps& steps)
{
    Link& link = *steps.link;
    std::optional<std::string> chosen;
    if (steps.chooseFile) chosen = steps.chooseFile(XModemChooserTitle, steps.folder + "/*.*");
    if (!chosen) {
        link.Write(ByteString(1, static_cast<char>(CAN)));
        if (steps.events) {
            TransferEvent event;
            event.stage = TransferStage::Ended;
            event.kind = TransferKind::XModemSend;
            event.outcome = TransferOutcome::Cancelled;
            event.reason = TransferReason::NoFileChosen;
            steps.events(event);
        }
        return XModemSendResult::Declined;
    }
    const XModemFile file(*chosen);
    SendEvents events(steps, FileNamePart(*chosen), file.Size());
    std::string readFault;
    XModemSendResult result;
    try {
        result = SendBlocks(steps, file, events, readFault);
    } catch (const CalvyxError& e) {
        events.Ended(TransferOutcome::Failed, TransferReason::LinkLost, e.what());
        throw;
    }
    switch (result) {
    case XModemSendResult::Sent:
        events.Ended(TransferOutcome::Completed);
        break;
    case XModemSendResult::SentEndUnconfirmed:
        // Every block was taken; only the answer to the end went missing.
        events.Notice(TransferReason::EndUnconfirmed);
        events.Ended(TransferOutcome::Completed, TransferReason::EndUnconfirmed);
        break;
    case XModemSendResult::Stopped:
        events.Ended(TransferOutcome::Cancelled, TransferReason::Stopped);
        break;
    case XModemSendResult::UserCancelled:
        events.Ended(TransferOutcome::Cancelled, TransferReason::UserCancelled);
        break;
    case XModemSendResult::Declined:
        break;
    case XModemSendResult::ReadFailed:
        events.Ended(TransferOutcome::Failed, TransferReason::CannotRead, readFault);
        break;
    case XModemSendResult::NoStart:
        events.Ended(TransferOutcome::Failed, TransferReason::NoStart);
        break;
    case XModemSendResult::Abandoned:
        events.Ended(TransferOutcome::Failed, TransferReason::Abandoned);
        break;
    case XModemSendResult::Cancelled:
        events.Ended(TransferOutcome::Failed, TransferReason::CalculatorCancelled);
        break;
    }
    return result;
}

namespace {

XModemSendResult SendBlocks(const XModemSendSteps& steps, const XModemFile& file, SendEvents& events, std::string& readFault)
{
    Link& link = *steps.link;
    auto stopped = [&] { return steps.stop.stop_requested(); };
    // The user's cancel: the receiver is told with two CANs, which end its receive.
    auto cancelled = [&] {
        if (!steps.cancel.stop_requested()) return false;
        link.Write(ByteString(2, static_cast<char>(CAN)));
        return true;
    };

    // The calculator repeats its start byte while the user chooses the file: the newest
    // one that the drain reads names the mode; without one, the byte that asked does.
    // Either way the first block goes out now, not after the receiver's next request
    // (a receiver may wait many seconds before it asks again).
    uint8_t reply = IsStartByte(steps.requestByte) ? steps.requestByte : 0;
    link.ClearInput([&](const ByteString& drained) {
        for (const char c : drained) {
            if (IsStartByte(static_cast<uint8_t>(c))) reply = static_cast<uint8_t>(c);
        }
    });

    // Handshake: a byte other than a start byte is not replaced by a new read, so it
    // ends the handshake after six passes without waiting.
    CheckMode mode = CheckMode::Checksum;
    for (int tries = 0;;) {
        if (reply == 0) reply = ReadReply(link);
        Trace("<-X: initial handshake " + ReplyText(reply));
        if (reply == NAK || reply == CrcStart) {
            mode = CheckModeForStart(reply);
            break;
        }
        if (reply == CAN) {
            events.Ended(TransferOutcome::Failed, TransferReason::CalculatorCancelled);
            link.Fail();
        }
        if (++tries >= StartTries || stopped()) return XModemSendResult::NoStart;
        if (cancelled()) return XModemSendResult::UserCancelled;
    }

    events.Restart();
    unsigned block = 0;
    const int64_t total = file.Size();
    int64_t pos = 0;
    while (pos < total) {
        ++block;
        events.Progress(pos);
        // A 1024-byte block only while more than 1024 bytes remain: a file of exactly
        // 1024 bytes goes out as eight small blocks.
        const bool large = total - pos > static_cast<int64_t>(LargeDataSize);
        const std::size_t size = large ? LargeDataSize : SmallDataSize;
        // The last block is padded by BuildBlock.
        const std::size_t take = static_cast<std::size_t>(std::min<int64_t>(static_cast<int64_t>(size), total - pos));
        ByteString data;
        try {
            data = file.Read(pos, take);
        } catch (const CalvyxError& e) {
            // The receiver is told too: two CANs end its receive.
            link.Write(ByteString(2, static_cast<char>(CAN)));
            readFault = e.what();
            Trace("XModem send: " + readFault);
            return XModemSendResult::ReadFailed;
        }
        const ByteString packet = BuildBlock(large ? STX : SOH, block, data, mode);
        pos += static_cast<int64_t>(size);
        for (int retries = 0;;) {
            link.Write(packet);
            reply = ReadReply(link);
            if (stopped()) return XModemSendResult::Stopped;
            if (cancelled()) return XModemSendResult::UserCancelled;
            if (reply == 0) {
                if (++retries >= BlockTries) return XModemSendResult::Abandoned;
                link.Pause(SilencePauseMs);
            } else if (reply == ACK) {
                events.Notice(TransferReason::None);
                break;
            } else if (reply == NAK) {
                if (++retries >= BlockTries) return XModemSendResult::Abandoned;
            } else if (reply == CAN) {
                return XModemSendResult::Cancelled;
            } else {
                link.ClearInput(); // line noise: not counted as a retry
            }
        }
    }

    for (int tries = 0; tries < BlockTries; ++tries) {
        if (stopped()) return XModemSendResult::Stopped;
        if (cancelled()) return XModemSendResult::UserCancelled;
        link.Write(ByteString(1, static_cast<char>(EOT)));
        if (ReadReply(link) == ACK) return XModemSendResult::Sent;
    }
    return XModemSendResult::SentEndUnconfirmed;
}

} // namespace

} // namespace xmodem
