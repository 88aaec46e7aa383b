// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The calculator's link delivers what it sends in pieces: a block or a screen may come
// in several bursts with pauses between them.
#include <cstddef>

#include "tools/sim/SimPort.h"
#include "util/ByteString.h"

namespace sim {

// Sends bytes in pieces of burstSize (all at once when 0), gapMs apart. False when the
// program's side is gone.
bool SendInBursts(SimPort& port, const ByteString& bytes, std::size_t burstSize, int gapMs);

} // namespace sim
