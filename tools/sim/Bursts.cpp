// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/sim/Bursts.h"

#include <chrono>
#include <thread>

namespace sim {

bool SendInBursts(SimPort& port, const ByteString& bytes, std::size_t burstSize, int gapMs)
{
    if (burstSize == 0) return port.Send(bytes);
    for (std::size_t at = 0; at < bytes.size(); at += burstSize) {
        if (at > 0 && gapMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(gapMs));
        if (!port.Send(bytes.substr(at, burstSize))) return false;
    }
    return true;
}

} // namespace sim
