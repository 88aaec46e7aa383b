// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The English words of a transfer event: what calvyx-cli prints and what the status
// dialog of a front end without translations shows. The windows word the same events
// in the user's language (windows/TransferTexts).
#include <cstdint>
#include <string>

#include "util/HostInterfaces.h"
#include "util/TransferEvent.h"

// The dialog's caption: "Receiving NAME", "Sending NAME", "Copying NAME".
std::string TransferCaption(const TransferEvent& event);
// The three-line progress text of done of total ("2048/4096 bytes", "(50%)", the
// rate); nothing when total <= 0.
std::string ProgressText(int64_t done, int64_t total, uint32_t elapsedMs);
// For a size nobody announced (a file the calculator pushes, an object by wire): the
// bytes so far and the rate, two lines, no percentage.
std::string ReceivedText(int64_t done, uint32_t elapsedMs);
// Why a transfer failed, in the words that follow "failed: " ("too many errors on the
// line", "the calculator cancelled (Disk full)").
std::string FailureWhy(const TransferEvent& event);
// The line the dialog and the log show for an event: the progress text, "Connecting
// ...", a notice, or how the transfer ended ("Receiving NAME failed: link lost", "Not
// sent: abandoned"). Empty when the event has nothing to say in words (a success, the
// user's own cancel).
std::string TransferStatusText(const TransferEvent& event);

// Shows an event on a status dialog the way every front end does: Started opens it with
// the caption, progress and notices update its text, a success closes it, a failure
// leaves its line (a Kermit transfer's dialog then goes, the others stay up until the
// user closes them).
void ShowOnStatusDialog(IStatusDialog& dialog, const TransferEvent& event);
