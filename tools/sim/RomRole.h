// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The calculator in its ROM-load mode: it takes one stream, the length of the new ROM
// (4 bytes, least significant first) and then that many bytes, and checks them against
// the file that should have been sent.
#include <cstdint>
#include <string>

#include "tools/sim/SimPort.h"
#include "util/ByteString.h"

namespace sim {

struct RomLoadResult {
    bool ok = false;
    std::string error; // what was wrong with the stream
    uint32_t declaredLength = 0;
    uint64_t received = 0; // ROM bytes after the prefix, extra bytes included
    double seconds = 0;    // from the prefix's first byte to the declared length's last
};

// Waits up to startTimeoutMs for the stream, then reads it until the declared length has
// arrived (and a short quiet spell after it, to catch extra bytes) or until the PC has
// been silent for idleTimeoutMs.
RomLoadResult ReceiveRomStream(SimPort& port, const ByteString& expected, int startTimeoutMs, int idleTimeoutMs);

} // namespace sim
