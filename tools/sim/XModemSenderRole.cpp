// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/sim/XModemSenderRole.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "tools/common/CommandTable.h"
#include "tools/sim/Bursts.h"
#include "tools/sim/PortOptions.h"
#include "tools/sim/RoleCommand.h"
#include "util/Utils.h"
#include "xmodem/XModemBlock.h"

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
    // In slices, so that a stop signal ends the wait of the calvyx-sim program.
    for (int left = timeoutMs; left > 0 && !StopRequested(); left = MsLeft(deadline)) {
        const ByteString b = port.Receive(1, std::min(left, 250));
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

const char* const WireSendHelp =
    "usage: calvyx-sim wire-send [port options] FILE [options]\n\n"
    "Sends FILE as the calculator sends an object by wire: it waits for the program's\n"
    "start byte, then sends checksum blocks (1024 bytes while a whole one remains, then 128).\n\n"
    "  --wait MS        how long to wait for the start byte (default 60000)\n"
    "  --damage N       send block N (1 = the first) once with a wrong checksum; repeatable\n"
    "  --burst N        send each block in pieces of N bytes\n"
    "  --gap MS         pause between the pieces (default 0)\n";

int RunWireSend(std::vector<std::string> args)
{
    PortOptions portOptions;
    WireSendOptions options;
    options.startTimeoutMs = 60000;
    std::string file;
    const auto option = [&](const std::string& name, const std::string& value) -> std::string {
        const auto n = tooling::WholeNumber(value);
        if (!n) return name + " needs a number";
        if (name == "--wait")
            options.startTimeoutMs = *n;
        else if (name == "--damage")
            options.damageOnce.insert(static_cast<unsigned>(*n));
        else if (name == "--burst")
            options.burstSize = static_cast<std::size_t>(*n);
        else if (name == "--gap")
            options.burstGapMs = *n;
        else
            return "unknown option " + name;
        return {};
    };
    const auto word = [&](const std::string& w) -> std::string {
        if (!file.empty()) return "one file only";
        file = w;
        return {};
    };
    if (const auto rc = ParseRoleArgs("wire-send", WireSendHelp, std::move(args), portOptions, option, word)) return *rc;
    if (file.empty()) return RoleUsage("wire-send", "the file to send is needed");
    const ByteString object = ReadFileToString(file);
    const std::unique_ptr<SimPort> port = OpenSimPort(portOptions);
    const WireSendResult result = SendObjectByWire(*port, object, options);
    if (!result.ok) {
        std::fprintf(stderr, "calvyx-sim wire-send: %s\n", result.error.c_str());
        return 1;
    }
    std::printf("sent %zu bytes in %d blocks (%d refused)\n", object.size(), result.blocksSent - result.naks, result.naks);
    return 0;
}

const tooling::CommandRegistration wireSendCommand{{"wire-send", "send a file by wire (XModem, checksum blocks)", RunWireSend}};

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
