// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a calculator session tells its front end, as data: its transfers (TransferEvent),
// what happened to its link, the Kermit server's activity, and the calculator's own
// requests. The window words them for the user and the log; calvyx-cli prints them.
#include <cstdint>
#include <string>
#include <variant>

#include "util/TransferEvent.h"

struct LinkEvent {
    enum class Change : uint8_t {
        Opened,      // the chosen port is open and served
        Lost,        // the device went away; the session waits for it to come back
        Replugged,   // unplugged and back between two checks: let go, to be reopened
        Back,        // the device came back and is served again
        HungUp,      // a pseudo-terminal hung up: let go for good, until it is chosen again
        Unavailable, // the port cannot be opened now; detail says why (said once per reason)
        Refused,     // the pipe device is there but not taken; detail says why (once per reason)
        Closed,      // the session let the port go on request
    };
    Change change = Change::Opened;
    std::string port; // upper-case, as the session opened it
    std::string detail;
};

// The Kermit server began a transfer (busy), or has been idle for a while since one.
struct ActivityEvent {
    bool busy = false;
};

// The calculator asked for a file by XModem; the session's host is asked for it next.
struct XModemRequestEvent {};

// The calculator pushed its screen: the Kermit server ended for it. A handler that
// wants the screen borrows the link at once (CalculatorSession::BorrowLink); otherwise
// the session serves again.
struct ScreenPushEvent {};

using SessionEvent = std::variant<TransferEvent, LinkEvent, ActivityEvent, XModemRequestEvent, ScreenPushEvent>;
