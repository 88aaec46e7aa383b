// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's one general error: a message text and nothing else. Transfers and
// commands catch it where they can recover; the message may be empty (a link failure
// after which the caller shows its own status text).
#include <stdexcept>
#include <string>

class CalvyxError : public std::runtime_error {
public:
    explicit CalvyxError(const std::string& message) : std::runtime_error(message) {}
};
