#include "xmodem/XModemSend.h"

#include <optional>

#include "link/Link.h"
#include "link/LinkErrors.h"
#include "link/Progress.h"
#include "link/Trace.h"
#include "util/HostInterfaces.h"
#include "xmodem/XModemBlock.h"
#include "util/GeneralError.h"
#include "util/MainThread.h"
#include "util/StringTable.h"
#include "util/Ticks.h"
#include "util/Utils.h"

namespace xmodem {

namespace {

constexpr int StartTries = 6;   // start-byte reads before giving up
constexpr int BlockTries = 6;   // sends of one block (or of EOT) without an ACK
constexpr int SilencePauseMs = 800; // after a block met silence
constexpr int ReplyLimitMs = 1000;

uint8_t ReadReply(Link& link)
{
    ByteString reply(1, '\0');
    link.Read(reply, ReplyLimitMs);
    return ByteAt(reply, 0);
}

std::string ReplyText(uint8_t b)
{
    return std::to_string(b) + " " + std::string(1, static_cast<char>(b));
}

} // namespace

const char* XModemSendResultName(XModemSendResult result)
{
    switch (result) {
    case XModemSendResult::Declined: return "declined";
    case XModemSendResult::NoStart: return "no start byte";
    case XModemSendResult::Sent: return "sent";
    case XModemSendResult::Abandoned: return "abandoned";
    case XModemSendResult::Cancelled: return "cancelled by the calculator";
    case XModemSendResult::Stopped: return "stopped";
    }
    return "?";
}

XModemSendResult SendFileByXModem(const XModemSendSteps& steps)
{
    Link& link = *steps.link;
    auto stopped = [&] { return steps.stop && steps.stop->load(); };

    std::optional<std::string> chosen;
    RunInMainThread([&] {
        if (steps.host) chosen = steps.host->ChooseFileToSend(XModemChooserTitle, steps.folder + "/*.*");
    });
    if (!chosen) {
        link.Write(ByteString(1, static_cast<char>(CAN)));
        return XModemSendResult::Declined;
    }
    const ByteString content = ReadFileToString(*chosen);
    const std::string name = FileNamePart(*chosen);
    // The calculator repeated its start byte while the chooser was open.
    link.ClearInput();

    // Handshake: a byte other than a start byte is not replaced by a new read, so it
    // ends the handshake after six passes without waiting.
    CheckMode mode = CheckMode::Checksum;
    uint8_t reply = 0;
    for (int tries = 0;;) {
        if (reply == 0) reply = ReadReply(link);
        Trace("<-X: initial handshake " + ReplyText(reply));
        if (reply == NAK || reply == CrcStart) {
            mode = CheckModeForStart(reply);
            break;
        }
        if (reply == CAN) SeriousError();
        if (++tries >= StartTries || stopped()) return XModemSendResult::NoStart;
    }

    steps.openStatusDialog(std::string(Str::Sending) + name);
    const uint32_t startTick = Now();
    unsigned block = 0;
    std::size_t pos = 0;
    while (pos < content.size()) {
        ++block;
        ReportProgress(static_cast<int64_t>(pos), static_cast<int64_t>(content.size()), startTick, steps.reportStatus);
        // A 1024-byte block only while more than 1024 bytes remain: a file of exactly
        // 1024 bytes goes out as eight small blocks.
        const bool large = content.size() - pos > LargeDataSize;
        const std::size_t size = large ? LargeDataSize : SmallDataSize;
        const ByteString packet = BuildBlock(large ? STX : SOH, block,
                                             std::string_view(content).substr(pos, size), mode);
        pos += size;
        for (int retries = 0;;) {
            link.Write(packet);
            reply = ReadReply(link);
            if (stopped()) return XModemSendResult::Stopped;
            if (reply == 0) {
                if (++retries >= BlockTries) return XModemSendResult::Abandoned;
                Delay(SilencePauseMs);
            } else if (reply == ACK) {
                steps.reportStatus(StatusReport::Notice(""));
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
        link.Write(ByteString(1, static_cast<char>(EOT)));
        if (ReadReply(link) == ACK) {
            steps.reportStatus(StatusReport::Finished());
            return XModemSendResult::Sent;
        }
    }
    return XModemSendResult::Abandoned;
}

} // namespace xmodem
