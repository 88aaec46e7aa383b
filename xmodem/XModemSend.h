// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sending a file to the calculator with XModem when it asks for one from its receive
// screen: the user picks the file, the calculator's start byte chooses the check mode,
// blocks of 1024 bytes go out while more than 1024 bytes remain, 128-byte blocks after.
// Runs in the Kermit engine thread, right after the engine read the start byte.
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>

#include "util/TransferEvent.h"

class Link;

namespace xmodem {

inline constexpr const char* XModemChooserTitle = "Send file to T20, T20+, T20s, T30s (By Wire)";

// Asks the user for the file to send: the chosen path, or nothing when the user
// declined. initialPath is the folder followed by "/*.*". Called in the engine's thread.
using FileChooser = std::function<std::optional<std::string>(const std::string& title, const std::string& initialPath)>;

// What the driver needs of the engine that runs it.
struct XModemSendSteps {
    Link* link = nullptr;     // the engine's link
    FileChooser chooseFile;   // asks the user for the file (none: declined)
    std::stop_token stop;     // the engine's stop: the send ends without a word
    std::stop_token cancel;   // the user's cancel: the calculator hears two CANs
    uint8_t requestByte = 0;  // the start byte that asked (NAK or 'D')
    std::string folder;       // where the file chooser opens
    TransferEventSink events; // Started, Progress, Notice and Ended of the send
};

enum class XModemSendResult {
    Declined,           // the user picked no file: one CAN went out
    NoStart,            // no start byte (or an unexpected byte) in six tries: nothing sent
    Sent,               // every block and the EOT acknowledged
    SentEndUnconfirmed, // every block acknowledged, the EOT never: the file went out
    Abandoned,          // a block or the EOT went unanswered six times
    Cancelled,          // the calculator answered a block with CAN
    Stopped,            // the engine was asked to stop
    UserCancelled,      // the user cancelled: two CANs went out
    ReadFailed,         // the file could not be read, or changed size, while it went out: two CANs
};
const char* XModemSendResultName(XModemSendResult result);

// The receiver's request starts the blocks: the start byte that asked, or a newer one
// that came while the user chose the file (its mode wins); only without either does the
// driver wait for the next. Every send that got a file is told as events, from Started
// to an Ended that says how it went; a declined chooser as an Ended alone. The file is
// read a block at a time as the blocks go out. Raises CalvyxError when the chosen file
// cannot be opened or the calculator cancels during the handshake (the engine answers
// with a Kermit N packet).
XModemSendResult SendFileByXModem(const XModemSendSteps& steps);

} // namespace xmodem
