// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The calculator sending an object "by wire": it waits for the PC's start byte (NAK on
// its USB link, 'D' on a serial line), then sends checksum blocks whatever it was asked
// for: 1024-byte blocks while a whole one remains, 128-byte blocks for the rest, the last
// one padded. Each block waits for ACK; NAK or silence sends it again.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "tools/sim/SimPort.h"
#include "util/ByteString.h"

namespace sim {

struct WireSendOptions {
    int startTimeoutMs = 10000; // for the PC's start byte
    int replyTimeoutMs = 5000;  // for the reply to one block or to EOT
    int maxTries = 10;          // sendings of one block before the calculator gives up
    // Block numbers (1 = the first block) sent once with a wrong checksum, then intact.
    std::set<unsigned> damageOnce;
    // When not 0, each block goes out in pieces of this size with burstGapMs between.
    std::size_t burstSize = 0;
    int burstGapMs = 0;
};

struct WireSendResult {
    bool ok = false;
    std::string error;     // why the calculator gave up
    uint8_t startByte = 0; // what the PC asked with
    int blocksSent = 0;    // sendings, repeats included
    int naks = 0;          // NAK replies to blocks
    ByteString heard;      // every byte the PC wrote, in order
};

// The data of the calculator's blocks for an object, padding excluded.
std::vector<ByteString> CalculatorBlockData(const ByteString& object);

// Plays the calculator's side of one wire send on port. Bounded by the time limits.
WireSendResult SendObjectByWire(SimPort& port, const ByteString& object, const WireSendOptions& options = {});

} // namespace sim
