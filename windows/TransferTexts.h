// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The words of the transfers' events and of the server's status in the windows'
// language: the status dialog's caption and text, the log's lines and the status bar.
// Without a translation they are exactly the English of util/TransferText (what
// calvyx-cli prints), but for the sizes: the windows show them one way throughout
// (ShownSize).
#include <cstdint>
#include <optional>

#include <QString>

#include "services/SessionEvent.h"
#include "services/TransferServer.h"
#include "util/TransferEvent.h"

// A size as every window shows it (the file list, the transfers, the status dialog, the
// log): bytes below a thousand, else the locale's short form with one decimal ("57
// bytes", "2.5 kB", "1.2 MB").
QString ShownSize(int64_t bytes);
// A rate in the same form: "2.5 kB/s".
QString ShownRate(int64_t bytesPerSecond);
// "Receiving NAME", "Sending NAME", "Copying NAME".
QString ShownTransferCaption(const TransferEvent& event);
// Why a transfer failed, as it follows "failed: ".
QString ShownFailureWhy(const TransferEvent& event);
// The dialog's text for an event (the progress, "Connecting ...", a notice, how it
// ended); empty when the event has nothing to say in words.
QString ShownTransferStatus(const TransferEvent& event);
// The line the log keeps for an event, if any: the start ("Receiving NAME"), a notice,
// and how it ended (done with its bytes and time, cancelled, or the failure's words).
// The progress is not logged.
std::optional<QString> TransferLogLine(const TransferEvent& event);
// The line the log keeps for what happened to the link (opened, lost, back, closed).
std::optional<QString> LinkLogLine(const LinkEvent& event);
// The status bar's text for the server's status ("Device connected on PORT").
QString ShownServerStatus(const ServerStatus& status);
