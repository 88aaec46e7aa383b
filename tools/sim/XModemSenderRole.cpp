#include "tools/sim/XModemSenderRole.h"

#include <chrono>

#include "services/XModemBlock.h"
#include "tools/sim/Bursts.h"

namespace sim {

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for the PC's start byte; anything else on the line is skipped.
bool AwaitStart(SimPort& port, int timeoutMs, WireSendResult& result)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (int left = timeoutMs; left > 0; left = MsLeft(deadline)) {
        const ByteString b = port.Receive(1, left);
        if (b.empty()) continue;
        result.heard += b;
        result.startByte = ByteAt(b, 0);
        if (result.startByte == xmodem::NAK || result.startByte == xmodem::CrcStart) return true;
    }
    return false;
}

// The reply to a block or to EOT: the first byte the PC writes.
uint8_t AwaitReply(SimPort& port, int timeoutMs, WireSendResult& result)
{
    const ByteString b = port.Receive(1, timeoutMs);
    result.heard += b;
    return b.empty() ? 0 : ByteAt(b, 0);
}

} // namespace

std::vector<ByteString> CalculatorBlockData(const ByteString& object)
{
    std::vector<ByteString> blocks;
    std::size_t at = 0;
    while (object.size() - at >= xmodem::LargeDataSize) {
        blocks.push_back(object.substr(at, xmodem::LargeDataSize));
        at += xmodem::LargeDataSize;
    }
    for (; at < object.size(); at += xmodem::SmallDataSize) blocks.push_back(object.substr(at, xmodem::SmallDataSize));
    return blocks;
}

WireSendResult SendObjectByWire(SimPort& port, const ByteString& object, const WireSendOptions& options)
{
    WireSendResult result;
    if (!AwaitStart(port, options.startTimeoutMs, result)) {
        result.error = "no start byte from the PC";
        return result;
    }
    std::set<unsigned> damage = options.damageOnce;
    const auto blocks = CalculatorBlockData(object);
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const unsigned number = static_cast<unsigned>(i + 1);
        const uint8_t header = blocks[i].size() > xmodem::SmallDataSize ? xmodem::STX : xmodem::SOH;
        const ByteString block = xmodem::BuildBlock(header, number, blocks[i], xmodem::CheckMode::Checksum);
        bool accepted = false;
        for (int attempt = 0; attempt < options.maxTries && !accepted; ++attempt) {
            ByteString wire = block;
            if (damage.erase(number) > 0) wire.back() = static_cast<char>(ByteAt(wire, wire.size() - 1) ^ 0x5A);
            if (!SendInBursts(port, wire, options.burstSize, options.burstGapMs)) {
                result.error = "the PC's side of the link is gone";
                return result;
            }
            ++result.blocksSent;
            switch (AwaitReply(port, options.replyTimeoutMs, result)) {
            case xmodem::ACK:
                accepted = true;
                break;
            case xmodem::CAN:
                result.error = "cancelled by the PC at block " + std::to_string(number);
                return result;
            case xmodem::NAK:
                ++result.naks;
                break;
            default:
                break; // silence or noise: the block goes again
            }
        }
        if (!accepted) {
            result.error = "block " + std::to_string(number) + " not accepted";
            return result;
        }
    }
    for (int attempt = 0; attempt < options.maxTries; ++attempt) {
        if (!port.Send(ByteString(1, static_cast<char>(xmodem::EOT)))) break;
        if (AwaitReply(port, options.replyTimeoutMs, result) == xmodem::ACK) {
            result.ok = true;
            return result;
        }
    }
    result.error = "EOT not acknowledged";
    return result;
}

} // namespace sim
