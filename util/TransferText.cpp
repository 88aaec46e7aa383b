// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/TransferText.h"

#include "util/StringTable.h"

namespace {

// From this rate on the text counts in Kbytes.
constexpr int64_t KbyteRate = 10240;

// The words of an XModem send's end, as "Not sent: " follows them.
std::string XModemWhy(const TransferEvent& event)
{
    switch (event.reason) {
    case TransferReason::NoStart:
        return "no start byte";
    case TransferReason::Abandoned:
        return "the calculator did not take the file";
    case TransferReason::CalculatorCancelled:
        return "cancelled by the calculator";
    case TransferReason::Stopped:
        return "stopped";
    case TransferReason::NoFileChosen:
        return "declined";
    default:
        return FailureWhy(event);
    }
}

std::string EndedText(const TransferEvent& event)
{
    if (event.outcome == TransferOutcome::Completed) return {};
    if (event.reason == TransferReason::UserCancelled || event.reason == TransferReason::Stopped ||
        event.reason == TransferReason::NoFileChosen)
        return {};
    switch (event.kind) {
    case TransferKind::KermitReceive:
    case TransferKind::KermitSend:
        return TransferCaption(event) + " failed: " + FailureWhy(event);
    case TransferKind::XModemSend:
        return std::string("Not sent: ") + XModemWhy(event);
    case TransferKind::WireReceive:
        return "Receive by wire failed: " + FailureWhy(event);
    case TransferKind::RomLoad:
        return event.detail;
    }
    return {};
}

} // namespace

std::string TransferCaption(const TransferEvent& event)
{
    switch (event.kind) {
    case TransferKind::KermitReceive:
        return Str::Receiving + event.file;
    case TransferKind::KermitSend:
    case TransferKind::XModemSend:
        return Str::Sending + event.file;
    case TransferKind::WireReceive:
        return Str::ReceivingByWire;
    case TransferKind::RomLoad:
        return Str::Copying + event.file;
    }
    return event.file;
}

std::string ProgressText(int64_t done, int64_t total, uint32_t elapsedMs)
{
    if (total <= 0) return {};
    const int64_t rate = done * 1000 / (static_cast<int64_t>(elapsedMs) + 1);
    if (rate < KbyteRate) {
        return std::to_string(done) + "/" + std::to_string(total) + Str::Bytes + "\r\n(" + std::to_string(done * 100 / total) +
               "%)\r\n" + std::to_string(rate) + Str::BytesPerSec;
    }
    // The Kbytes form takes its percentage from done - 1: a finished transfer shows 99%
    // until the dialog closes.
    return std::to_string(done / 1024) + "/" + std::to_string(total / 1024) + Str::KBytes + "\r\n(" +
           std::to_string((done - 1) * 100 / total) + "%)\r\n" + std::to_string(rate / 1024) + Str::KBytesPerSec;
}

std::string ReceivedText(int64_t done, uint32_t elapsedMs)
{
    const int64_t rate = done * 1000 / (static_cast<int64_t>(elapsedMs) + 1);
    if (rate < KbyteRate) return std::to_string(done) + Str::Bytes + "\r\n" + std::to_string(rate) + Str::BytesPerSec;
    return std::to_string(done / 1024) + Str::KBytes + "\r\n" + std::to_string(rate / 1024) + Str::KBytesPerSec;
}

std::string FailureWhy(const TransferEvent& event)
{
    const std::string& detail = event.detail;
    switch (event.reason) {
    case TransferReason::None:
        return "failed";
    case TransferReason::UserCancelled:
        return "cancelled";
    case TransferReason::Stopped:
        return "stopped";
    case TransferReason::CalculatorCancelled:
        return detail.empty() ? "the calculator cancelled" : "the calculator cancelled (" + detail + ")";
    case TransferReason::LinkLost:
        return detail.empty() ? "link lost" : detail;
    case TransferReason::TooManyErrors:
        return "too many errors on the line";
    case TransferReason::NoAnswer:
        return "no answer for " + detail;
    case TransferReason::CannotStore:
        return "cannot store the file: " + detail;
    case TransferReason::NotEnoughSpace:
        return "not enough disk space (" + detail + ")";
    case TransferReason::NameRefused:
        return "invalid file name";
    case TransferReason::FileNotFound:
        return "the file does not exist";
    case TransferReason::CannotRead:
        return detail.empty() ? "cannot read the file" : detail;
    case TransferReason::NoFileChosen:
        return "declined";
    case TransferReason::NoStart:
        return "no start byte";
    case TransferReason::Abandoned:
        return "the calculator did not take the file";
    case TransferReason::BadBlocks:
        return "no valid block from the calculator";
    case TransferReason::NotReady:
        return Str::NotReady;
    case TransferReason::EndUnconfirmed:
        return "sent, the end not confirmed";
    case TransferReason::Refused:
        return detail.empty() ? "refused" : detail;
    }
    return detail;
}

std::string TransferStatusText(const TransferEvent& event)
{
    switch (event.stage) {
    case TransferStage::Started:
        return TransferCaption(event);
    case TransferStage::Connecting:
        // A wire receive waits for the user to send from the calculator.
        return event.kind == TransferKind::WireReceive ? Str::SendObjectNow : Str::ConnectingDots;
    case TransferStage::Progress:
        return event.total > 0 ? ProgressText(event.done, event.total, event.elapsedMs)
                               : ReceivedText(event.done, event.elapsedMs);
    case TransferStage::Notice:
        switch (event.reason) {
        case TransferReason::None:
            return {};
        case TransferReason::NotReady:
            return Str::NotReady;
        case TransferReason::EndUnconfirmed:
            return "Sent; the calculator did not confirm the end of the file";
        default:
            return FailureWhy(event);
        }
    case TransferStage::Ended:
        return EndedText(event);
    }
    return {};
}

void ShowOnStatusDialog(IStatusDialog& dialog, const TransferEvent& event)
{
    switch (event.stage) {
    case TransferStage::Started:
        dialog.OpenStatus(TransferCaption(event), true);
        return;
    case TransferStage::Connecting:
        dialog.UpdateStatus(StatusReport::Connecting(TransferStatusText(event)));
        return;
    case TransferStage::Progress:
        dialog.UpdateStatus(
            StatusReport::Progress(TransferStatusText(event), static_cast<int>(event.done), static_cast<int>(event.total)));
        return;
    case TransferStage::Notice:
        dialog.UpdateStatus(StatusReport::Notice(TransferStatusText(event)));
        return;
    case TransferStage::Ended:
        if (event.outcome == TransferOutcome::Completed) {
            dialog.UpdateStatus(StatusReport::Finished());
            return;
        }
        const DialogAtFailedEnd rule = DialogAtEndOf(event);
        if (const std::string text = TransferStatusText(event); rule.sayEnd && !text.empty() && dialog.IsStatusVisible())
            dialog.UpdateStatus(StatusReport::Notice(text));
        if (rule.close) dialog.HideStatus();
        return;
    }
}
