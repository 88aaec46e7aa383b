// SPDX-License-Identifier: GPL-3.0-or-later
// The wire receive fed arbitrary bytes from the calculator through a line in memory
// (link/MemoryLine.h), the receive running to its end in this thread: no real time
// passes, every time-out is a step of the line's clock. The input plays the calculator
// turn by turn, the way it sends a block and then waits for the PC's answer: the next
// turn goes out when the PC waits for input (never while it clears its input, which
// would throw the turn away). After the last turn the calculator sends EOT if the PC
// answered that turn, and hangs up in any case, which ends a receive still waiting for
// the rest of a block with a failed read.
//
// Input: turns of [length, 2 bytes little-endian][bytes]; the top bit of the length
// means that the user presses Cancel in the status dialog before the turn (the PC sees
// it before its next reply byte), the rest is cut to what is left.
//
// Checks: the receive ends; the PC only ever sends its start byte, NAK, ACK and CAN; the
// data it keeps is made of whole blocks that the calculator really sent, with good
// checksums, numbered 1, 2, 3 ... in that order; it reports success only after an EOT.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stop_token>
#include <string>

#include <QCoreApplication>

#include "fuzz/FuzzCheck.h"
#include "link/Link.h"
#include "link/MemoryLine.h"
#include "services/WireReceiver.h"
#include "util/StringTable.h"
#include "xmodem/XModemBlock.h"

namespace {

constexpr std::size_t MaxInput = 4096;
constexpr int MaxTurns = 8;
constexpr std::size_t CancelBit = 0x8000;
// Reads of a silent line after which the receive counts as hung (a finding): every
// wait of the receive gives up after a few of them.
constexpr uint64_t HangReads = 10000;

ByteString ChecksumBlock(unsigned number, std::string_view data)
{
    const auto n = static_cast<uint8_t>(number & 0xFF);
    ByteString block(1, static_cast<char>(data.size() == xmodem::SmallDataSize ? xmodem::SOH : xmodem::STX));
    block += static_cast<char>(n);
    block += static_cast<char>(255 - n);
    block.append(data);
    unsigned sum = 0;
    for (unsigned char c : data) sum += c;
    block += static_cast<char>(sum & 0xFF);
    return block;
}

// True when kept splits into the data of blocks numbered number, number + 1 ... each of
// which the calculator sent whole, as a block with a good checksum.
bool MadeOfSentBlocks(const ByteString& sent, std::string_view kept, unsigned number)
{
    if (kept.empty()) return true;
    for (const std::size_t size : {xmodem::SmallDataSize, xmodem::LargeDataSize}) {
        if (kept.size() < size) continue;
        if (sent.find(ChecksumBlock(number, kept.substr(0, size))) == ByteString::npos) continue;
        if (MadeOfSentBlocks(sent, kept.substr(size), number + 1)) return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // The receive's reports to the dialog go through the main thread: this one.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > MaxInput) return 0;
    std::stop_source cancel; // the user's Cancel
    auto line = std::make_shared<MemoryLine>();
    ByteString sent;  // what the calculator sent
    ByteString heard; // what the PC sent
    std::size_t at = 0;
    int turns = 0;
    bool answered = false; // the PC wrote since the last turn went out
    bool eotSent = false;
    line->OnWritten = [&](const ByteString& bytes) {
        heard += bytes;
        answered = true;
    };
    line->OnStarved = [&] {
        if (line->EmptyReads() > HangReads) {
            std::fprintf(stderr, "the receive keeps reading a silent line\n");
            std::abort();
        }
        if (turns < MaxTurns && at + 2 <= size) {
            ++turns;
            const std::size_t word = data[at] | (std::size_t(data[at + 1]) << 8);
            const std::size_t length = std::min<std::size_t>(word & (CancelBit - 1), size - at - 2);
            if (word & CancelBit) cancel.request_stop();
            const ByteString bytes(reinterpret_cast<const char*>(data + at + 2), length);
            at += 2 + length;
            sent += bytes;
            answered = false;
            line->Queue(bytes);
            return;
        }
        // A PC that answered the last turn waits for the next block: an EOT ends the
        // receive at once. One still waiting for the rest of a block learns of the end
        // from the hang-up.
        if (answered && !eotSent) {
            eotSent = true;
            const ByteString eot(1, static_cast<char>(xmodem::EOT));
            sent += eot;
            line->Queue(eot);
            return;
        }
        line->HangUp();
    };

    Link link;
    link.OpenMemory(line, LinkKind::Serial);
    // No settling pause after a cancel (it would only move the line's clock on).
    TimingProfileValues timing = link.Timing();
    timing.CancelSettleDelay = 0;
    link.SetTiming(timing);

    WireReceiver rx(LinkLease(link), {}, cancel.get_token(), Str::SendByWire, 0, WireReceiver::RunIn::Caller);

    FUZZ_CHECK(!heard.empty() && heard[0] == xmodem::CrcStart); // 'D' on a serial line
    for (std::size_t i = 1; i < heard.size(); ++i) {
        const auto b = static_cast<uint8_t>(heard[i]);
        FUZZ_CHECK(b == xmodem::NAK || b == xmodem::ACK || b == xmodem::CAN);
    }
    FUZZ_CHECK(rx.ReceivedData.size() % xmodem::SmallDataSize == 0);
    FUZZ_CHECK(MadeOfSentBlocks(sent, rx.ReceivedData, 1));
    if (rx.Success) FUZZ_CHECK(sent.find(static_cast<char>(xmodem::EOT)) != ByteString::npos);
    return 0;
}
