// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/TransferTexts.h"

#include <QCoreApplication>
#include <QLocale>

namespace {

// The forms' context in the translation files.
class TransferTexts {
    Q_DECLARE_TR_FUNCTIONS(TransferTexts)
};

QString Q(const std::string& text) { return QString::fromStdString(text); }

int64_t Rate(int64_t done, uint32_t elapsedMs) { return done * 1000 / (static_cast<int64_t>(elapsedMs) + 1); }

QString Lines(std::initializer_list<QString> lines)
{
    QStringList list(lines);
    return list.join(QStringLiteral("\r\n"));
}

QString ProgressLines(int64_t done, int64_t total, uint32_t elapsedMs)
{
    if (total <= 0) return {};
    return Lines({TransferTexts::tr("%1 of %2").arg(ShownSize(done), ShownSize(total)),
                  QStringLiteral("(%1%)").arg(done * 100 / total), ShownRate(Rate(done, elapsedMs))});
}

QString ReceivedLines(int64_t done, uint32_t elapsedMs) { return Lines({ShownSize(done), ShownRate(Rate(done, elapsedMs))}); }

QString NotReady() { return TransferTexts::tr("T20, T20+, T20s, T30s is not ready"); }

QString XModemWhy(const TransferEvent& event)
{
    switch (event.reason) {
    case TransferReason::CalculatorCancelled:
        return TransferTexts::tr("cancelled by the calculator");
    default:
        return ShownFailureWhy(event);
    }
}

QString EndedText(const TransferEvent& event)
{
    if (event.outcome == TransferOutcome::Completed) return {};
    if (event.reason == TransferReason::UserCancelled || event.reason == TransferReason::Stopped ||
        event.reason == TransferReason::NoFileChosen)
        return {};
    switch (event.kind) {
    case TransferKind::KermitReceive:
    case TransferKind::KermitSend:
        return TransferTexts::tr("%1 failed: %2").arg(ShownTransferCaption(event), ShownFailureWhy(event));
    case TransferKind::XModemSend:
        return TransferTexts::tr("Not sent: %1").arg(XModemWhy(event));
    case TransferKind::WireReceive:
        return TransferTexts::tr("Receive by wire failed: %1").arg(ShownFailureWhy(event));
    case TransferKind::RomLoad:
        return Q(event.detail); // the ROM load's own words, as the calculator or the system said them
    }
    return {};
}

} // namespace

QString ShownSize(int64_t bytes) { return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat); }

QString ShownRate(int64_t bytesPerSecond) { return TransferTexts::tr("%1/s").arg(ShownSize(bytesPerSecond)); }

QString ShownTransferCaption(const TransferEvent& event)
{
    switch (event.kind) {
    case TransferKind::KermitReceive:
        return TransferTexts::tr("Receiving %1").arg(Q(event.file));
    case TransferKind::KermitSend:
    case TransferKind::XModemSend:
        return TransferTexts::tr("Sending %1").arg(Q(event.file));
    case TransferKind::WireReceive:
        return TransferTexts::tr("Receiving by wire");
    case TransferKind::RomLoad:
        return TransferTexts::tr("Copying %1").arg(Q(event.file));
    }
    return Q(event.file);
}

QString ShownFailureWhy(const TransferEvent& event)
{
    const QString detail = Q(event.detail);
    switch (event.reason) {
    case TransferReason::None:
        return TransferTexts::tr("failed");
    case TransferReason::UserCancelled:
        return TransferTexts::tr("cancelled");
    case TransferReason::Stopped:
        return TransferTexts::tr("stopped");
    case TransferReason::CalculatorCancelled:
        return detail.isEmpty() ? TransferTexts::tr("the calculator cancelled")
                                : TransferTexts::tr("the calculator cancelled (%1)").arg(detail);
    case TransferReason::LinkLost:
        return detail.isEmpty() ? TransferTexts::tr("link lost") : detail;
    case TransferReason::TooManyErrors:
        return TransferTexts::tr("too many errors on the line");
    case TransferReason::NoAnswer:
        return TransferTexts::tr("no answer for %1").arg(detail);
    case TransferReason::CannotStore:
        return TransferTexts::tr("cannot store the file: %1").arg(detail);
    case TransferReason::NotEnoughSpace:
        return TransferTexts::tr("not enough disk space (%1)").arg(detail);
    case TransferReason::NameRefused:
        return TransferTexts::tr("invalid file name");
    case TransferReason::FileNotFound:
        return TransferTexts::tr("the file does not exist");
    case TransferReason::CannotRead:
        return detail.isEmpty() ? TransferTexts::tr("cannot read the file") : detail;
    case TransferReason::NoFileChosen:
        return TransferTexts::tr("declined");
    case TransferReason::NoStart:
        return TransferTexts::tr("no start byte");
    case TransferReason::Abandoned:
        return TransferTexts::tr("the calculator did not take the file");
    case TransferReason::BadBlocks:
        return TransferTexts::tr("no valid block from the calculator");
    case TransferReason::NotReady:
        return NotReady();
    case TransferReason::EndUnconfirmed:
        return TransferTexts::tr("sent, the end not confirmed");
    case TransferReason::Refused:
        return detail.isEmpty() ? TransferTexts::tr("refused") : detail;
    }
    return detail;
}

QString ShownTransferStatus(const TransferEvent& event)
{
    switch (event.stage) {
    case TransferStage::Started:
        return ShownTransferCaption(event);
    case TransferStage::Connecting:
        // A wire receive waits for the user to send from the calculator.
        if (event.kind == TransferKind::WireReceive)
            return TransferTexts::tr("Now send the Calcapp from the calculator's send menu");
        return TransferTexts::tr("Connecting ...");
    case TransferStage::Progress:
        return event.total > 0 ? ProgressLines(event.done, event.total, event.elapsedMs)
                               : ReceivedLines(event.done, event.elapsedMs);
    case TransferStage::Notice:
        switch (event.reason) {
        case TransferReason::None:
            return {};
        case TransferReason::NotReady:
            return NotReady();
        case TransferReason::EndUnconfirmed:
            return TransferTexts::tr("Sent; the calculator did not confirm the end of the file");
        default:
            return ShownFailureWhy(event);
        }
    case TransferStage::Ended:
        return EndedText(event);
    }
    return {};
}

std::optional<QString> TransferLogLine(const TransferEvent& event)
{
    switch (event.stage) {
    case TransferStage::Started:
        return ShownTransferCaption(event);
    case TransferStage::Connecting:
    case TransferStage::Progress:
        return std::nullopt; // the status dialog and the transfers view show the progress
    case TransferStage::Notice:
        if (QString text = ShownTransferStatus(event); !text.isEmpty()) {
            if (event.kind == TransferKind::WireReceive)
                return TransferTexts::tr("%1: %2").arg(ShownTransferCaption(event), text);
            return TransferTexts::tr("%1: %2").arg(Q(event.file), text);
        }
        return std::nullopt;
    case TransferStage::Ended:
        switch (event.outcome) {
        case TransferOutcome::Completed: {
            const QString seconds = QLocale().toString(static_cast<double>(event.elapsedMs) / 1000.0, 'f', 1);
            const int64_t bytes = event.total > 0 ? event.total : event.done;
            if (bytes <= 0) return TransferTexts::tr("%1: done in %2 s").arg(ShownTransferCaption(event), seconds);
            return TransferTexts::tr("%1: done, %2 in %3 s").arg(ShownTransferCaption(event), ShownSize(bytes), seconds);
        }
        case TransferOutcome::Cancelled:
            if (event.reason == TransferReason::UserCancelled || event.reason == TransferReason::Stopped)
                return TransferTexts::tr("%1: %2").arg(ShownTransferCaption(event), ShownFailureWhy(event));
            break;
        case TransferOutcome::Failed:
            break;
        }
        // A failed ROM load is said by the command that started it, with its file.
        if (event.kind == TransferKind::RomLoad) return std::nullopt;
        if (QString text = ShownTransferStatus(event); !text.isEmpty()) {
            // The XModem texts do not name the file; a wire receive has none to name.
            if (event.kind != TransferKind::WireReceive && !event.file.empty() && !text.contains(Q(event.file)))
                text = TransferTexts::tr("%1: %2").arg(Q(event.file), text);
            return text;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<QString> LinkLogLine(const LinkEvent& event)
{
    const QString port = Q(event.port);
    switch (event.change) {
    case LinkEvent::Change::Opened:
        return TransferTexts::tr("Link opened on %1").arg(port);
    case LinkEvent::Change::Lost:
        return TransferTexts::tr("Link lost on %1; waiting for it to come back").arg(port);
    case LinkEvent::Change::Replugged:
        return TransferTexts::tr("%1 was unplugged and plugged in again; reopening it").arg(port);
    case LinkEvent::Change::Back:
        return TransferTexts::tr("Link back on %1").arg(port);
    case LinkEvent::Change::Unavailable:
    case LinkEvent::Change::Refused:
        return TransferTexts::tr("%1 cannot be opened: %2").arg(port, Q(event.detail));
    case LinkEvent::Change::Closed:
        return TransferTexts::tr("Link closed on %1").arg(port);
    case LinkEvent::Change::HungUp:
        return std::nullopt; // the window says more about it
    }
    return std::nullopt;
}

QString ShownServerStatus(const ServerStatus& status)
{
    const QString subject = Q(status.subject);
    switch (status.state) {
    case ServerState::Idle:
        return {};
    case ServerState::OpeningPort:
        return TransferTexts::tr("Opening port: %1").arg(subject);
    case ServerState::OpeningComm:
        return TransferTexts::tr("Opening Comm %1").arg(subject);
    case ServerState::Connected:
        return TransferTexts::tr("Device connected on %1").arg(subject);
    case ServerState::Copying:
        return TransferTexts::tr("Copying %1").arg(subject);
    case ServerState::ReceivingByWire:
        return TransferTexts::tr("Receiving by wire");
    }
    return subject;
}
