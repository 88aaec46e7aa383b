// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one error of the link: what went wrong (a kind), what the system said (its errno)
// and, where the user can do something about it, a reason in words.
#include <cstdint>
#include <string>

#include "util/CalvyxError.h"

enum class LinkErrorKind : uint8_t {
    OpenFailed,   // the device did not open or could not be set up (errno says why)
    NotFound,     // no device of that name
    NoPermission, // the device is there and the user may not use it
    Busy,         // another program holds the device
    Closed,       // an operation on a closed link
    Lost,         // a read or write failed, or the device hung up (errno says why)
    WriteStalled, // the device took no byte within the write's stall limit
    Stopped,      // StopWrites ended a write that waited for the device
    BrokenOff,    // the calculator broke off (its CAN); raised by Link::Fail
};

// What a link operation raises. A CalvyxError, so the transfers' handlers keep catching
// it; its message is the reason for the user, or empty when the caller words the failure
// itself (the transfers say "link lost", the port selection its "Error(...)").
class LinkError : public CalvyxError {
public:
    explicit LinkError(LinkErrorKind kind, const std::string& reason = {}, int osError = 0)
        : CalvyxError(reason), kind_(kind), osError_(osError)
    {
    }
    LinkErrorKind Kind() const { return kind_; }
    // The system's errno for the failure; 0 when there was none.
    int OsError() const { return osError_; }
    // The system's words for OsError() (strerror), or empty.
    std::string OsDetail() const;
    // The words for the user, or empty (the message).
    std::string Reason() const { return what(); }

private:
    LinkErrorKind kind_;
    int osError_;
};

// The name of a kind, for the trace and the tests' messages.
const char* LinkErrorKindName(LinkErrorKind kind);

// Raises CalvyxError("Error(" + detail + ")").
[[noreturn]] void RaiseError(const std::string& detail);
// The error of a port that could not be opened: "Error(The connectivity kit is unable
// to open communications to: <name>)", as text and raised. A reason (LinkError::Reason,
// e.g. the udev rule a USB device needs) follows the name: "...<name>. <reason>)".
std::string OpenErrorText(const std::string& name, const std::string& reason = "");
[[noreturn]] void RaiseOpenError(const std::string& name, const std::string& reason = "");
