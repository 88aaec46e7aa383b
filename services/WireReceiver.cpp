#include "services/WireReceiver.h"

#include <cstdio>
#include <exception>

#include "link/LinkErrors.h"
#include "link/Progress.h"
#include "link/Trace.h"
#include "util/CalvyxError.h"
#include "util/MainThread.h"
#include "util/StringTable.h"
#include "util/Ticks.h"
#include "xmodem/XModemBlock.h"

void WireReceiver::SendByte(uint8_t b) { link_->Write(ByteString(1, static_cast<char>(b))); }

// Four CAN bytes: the calculator aborts on the first one; the others cover a line that
// swallowed one.
void WireReceiver::SendCancel() { link_->Write(ByteString(4, static_cast<char>(xmodem::CAN))); }

WireReceiver::WireReceiver(LinkLease link, IStatusDialog* statusDialog, const std::string& displayName, int expectedSize,
                           RunIn runIn)
    : DisplayName(displayName), ExpectedSize(expectedSize), StatusDialog(statusDialog), link_(std::move(link))
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

void WireReceiver::ReportStatus(const StatusReport& report)
{
    RunInMainThread([&] {
        if (StatusDialog) StatusDialog->UpdateStatus(report);
    });
}

void WireReceiver::OpenStatusDialog(const std::string& caption)
{
    RunInMainThread([&] {
        if (StatusDialog) StatusDialog->OpenStatus(caption, true);
    });
}

bool WireReceiver::CancelRequested() const
{
    return isInterruptionRequested() || (StatusDialog && !StatusDialog->IsStatusVisible());
}

uint8_t WireReceiver::ReadReplyByte()
{
    ByteString reply(1, '\0');
    link_->Read(reply, ReadTimeoutMs);
    return ByteAt(reply, 0); // a time-out leaves the zero byte, which is no valid reply
}

void WireReceiver::Execute()
{
    Success = false;
    FailureText.clear();
    receivedBytes_ = 0;
    Trace("TX Receive begins for " + DisplayName);
    try {
        ReceivedData.clear();
        Success = true;
        blockCounter_ = 0;
        OpenStatusDialog(Str::Copying + DisplayName);
        started_ = false;
        ReceiveBlocks();
    } catch (const std::exception& e) {
        HandleError(e.what());
    } catch (...) {
        HandleError("");
    }
}

void WireReceiver::ReceiveBlocks()
{
    // The calculator sends checksum blocks whatever it is asked for; it only expects NAK
    // on its USB link and 'D' on a serial line.
    SendByte(link_->Kind() == LinkKind::Usb ? xmodem::NAK : xmodem::CrcStart);
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
                break;
            }
            last = ReadReplyByte();
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
                TellFailure("the calculator cancelled");
                link_->Fail();
            default: {
                link_->ClearInput();
                SendByte(xmodem::NAK);
                ++badReplies;
                if (last == 0) ++emptyReplies;
                char line[64];
                std::snprintf(line, sizeof line, "Rx Error #%d Reply was 0x%02X", badReplies, last);
                Trace(line);
                if (badReplies >= MaxBadReplies) {
                    // The log keeps why; the dialog stays up with "not ready".
                    TellFailure(badReplies == emptyReplies
                                    ? "no answer for " + std::to_string(badReplies * ReadTimeoutMs / 1000) + " s"
                                    : "no valid block from the calculator");
                    ReportStatus(StatusReport::Notice(Str::NotReady));
                    last = xmodem::EOT;
                    Success = false;
                    settled = true;
                }
            }
            }
        }
    } while (last != xmodem::EOT);
    SendByte(xmodem::ACK); // also after a cancel or a silent calculator
    if (Success) ReportStatus(StatusReport::Finished());
}

bool WireReceiver::ReceiveBlock(uint8_t header)
{
    const std::size_t dataSize = xmodem::DataSizeFor(header);
    const std::size_t blockSize = xmodem::BlockLength(header, xmodem::CheckMode::Checksum);
    if (!started_) {
        startTick_ = Now();
        started_ = true;
    }
    const StatusSink sink = [this](const StatusReport& report) { ReportStatus(report); };
    // Without an announced size there is no total to show a share of: the bytes so far
    // and the rate tell the truth.
    if (ExpectedSize != 0)
        ReportProgress(receivedBytes_, ExpectedSize, startTick_, sink);
    else
        ReportReceived(receivedBytes_, startTick_, sink);

    // The calculator's block may come in several bursts; a silent line inside a block
    // ends it after a few empty reads (the first read does not count).
    ByteString block(1, static_cast<char>(header));
    block.reserve(blockSize);
    int emptyReads = 0;
    bool firstRead = true;
    while (block.size() < blockSize) {
        ByteString chunk(blockSize - block.size(), '\0');
        const int got = link_->Read(chunk, ReadTimeoutMs);
        block.append(chunk, 0, static_cast<std::size_t>(got));
        if (got == 0 && !firstRead && ++emptyReads >= MaxEmptyReads) return RefuseBlock();
        firstRead = false;
    }
    TraceFrame("Rx block", block);
    if (!VerifyBlock(block)) return RefuseBlock();

    ReceivedData.append(block, 3, dataSize); // the last block's padding is kept as it came
    receivedBytes_ += static_cast<int>(dataSize);
    SendByte(xmodem::ACK);
    return true;
}

bool WireReceiver::VerifyBlock(const ByteString& block) const
{
    const auto result = xmodem::VerifyBlock(block, blockCounter_, xmodem::CheckMode::Checksum);
    if (!result.ok()) Trace(std::string("Rx block refused: ") + xmodem::BlockVerdictName(result.verdict));
    return result.ok();
}

bool WireReceiver::RefuseBlock()
{
    ReportStatus(StatusReport::Notice("")); // blanks the dialog's text line
    link_->ClearInput();
    SendByte(xmodem::NAK);
    return false;
}

void WireReceiver::TellFailure(const std::string& why)
{
    if (!FailureText.empty()) return; // the first cause is the one to tell
    FailureText = why;
    ReportStatus(StatusReport::Notice("Receive by wire failed: " + why));
}

void WireReceiver::HandleError(const std::string& message)
{
    // The link may be what failed: the cancel bytes and the drain are a courtesy to the
    // calculator, and a second failure must not leave the thread with an error in hand.
    try {
        Trace("sending CAN");
        if (!message.empty()) ReportStatus(StatusReport::Notice(message));
        TellFailure(message.empty() ? "link lost" : message);
        try {
            SendCancel();
            link_->ClearInput();
        } catch (const std::exception& e) {
            Trace(std::string("cancel not sent: ") + e.what());
        }
        link_->Pause(link_->Timing().CancelSettleDelay);
        ReportStatus(StatusReport::Finished());
    } catch (...) {
    }
    Success = false;
}
