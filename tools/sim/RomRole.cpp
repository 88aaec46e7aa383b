#include "tools/sim/RomRole.h"

#include <algorithm>

namespace sim {

namespace {

constexpr std::size_t ReadSize = 65536;
// After the declared length: how long the calculator listens for bytes that should not come.
constexpr int TrailingQuietMs = 100;

} // namespace

RomLoadResult ReceiveRomStream(SimPort& port, const ByteString& expected, int idleTimeoutMs)
{
    RomLoadResult result;
    ByteString prefix;
    while (prefix.size() < 4) {
        const ByteString got = port.Receive(4 - prefix.size(), idleTimeoutMs);
        if (got.empty()) {
            result.error = "the length prefix did not arrive (" + std::to_string(prefix.size()) + " of 4 bytes)";
            return result;
        }
        prefix += got;
    }
    for (int i = 3; i >= 0; --i) result.declaredLength = (result.declaredLength << 8) | ByteAt(prefix, static_cast<std::size_t>(i));

    bool mismatch = false;
    uint64_t firstMismatch = 0;
    for (;;) {
        const bool complete = result.received >= result.declaredLength;
        const ByteString got = port.Receive(ReadSize, complete ? TrailingQuietMs : idleTimeoutMs);
        if (got.empty()) break;
        for (std::size_t i = 0; i < got.size() && !mismatch; ++i) {
            const uint64_t at = result.received + i;
            if (at >= expected.size() || got[i] != expected[static_cast<std::size_t>(at)]) {
                mismatch = true;
                firstMismatch = at;
            }
        }
        result.received += got.size();
    }

    if (result.declaredLength != expected.size())
        result.error = "declared length " + std::to_string(result.declaredLength) + ", the file has " + std::to_string(expected.size());
    else if (result.received < result.declaredLength)
        result.error = "stream ended after " + std::to_string(result.received) + " of " + std::to_string(result.declaredLength) + " bytes";
    else if (result.received > result.declaredLength)
        result.error = std::to_string(result.received - result.declaredLength) + " bytes beyond the declared length";
    else if (mismatch)
        result.error = "bytes differ from the file at offset " + std::to_string(firstMismatch);
    result.ok = result.error.empty();
    return result;
}

} // namespace sim
