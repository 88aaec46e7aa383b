// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/LinkErrors.h"

#include <cstring>

#include "util/StringTable.h"

std::string LinkError::OsDetail() const { return osError_ == 0 ? std::string() : std::strerror(osError_); }

const char* LinkErrorKindName(LinkErrorKind kind)
{
    switch (kind) {
    case LinkErrorKind::OpenFailed:
        return "open failed";
    case LinkErrorKind::NotFound:
        return "not found";
    case LinkErrorKind::NoPermission:
        return "no permission";
    case LinkErrorKind::Busy:
        return "busy";
    case LinkErrorKind::Closed:
        return "closed";
    case LinkErrorKind::Lost:
        return "lost";
    case LinkErrorKind::WriteStalled:
        return "write stalled";
    case LinkErrorKind::Stopped:
        return "stopped";
    case LinkErrorKind::BrokenOff:
        return "broken off";
    }
    return "?";
}

void RaiseError(const std::string& detail) { throw CalvyxError(std::string(Str::Error) + "(" + detail + ")"); }

std::string OpenErrorText(const std::string& name, const std::string& reason)
{
    const std::string because = reason.empty() ? "" : ". " + reason;
    return std::string(Str::Error) + "(" + Str::UnableToOpenComms + name + because + ")";
}

void RaiseOpenError(const std::string& name, const std::string& reason) { throw CalvyxError(OpenErrorText(name, reason)); }
