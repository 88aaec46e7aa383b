// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as an XModem block from the calculator, checked against the block number
// the receiver expects, with either block check. Input: two bytes of expected block
// number (little-endian, so counters past 255 come too), one byte whose low bit picks
// the CRC, then the block.
//
// Checks: a block taken as good is exactly the block a sender builds from its data and
// number; a block of the right length that is refused differs from that block; only the
// low byte of the expected number counts; the check field agrees with a bit-by-bit
// CRC-16/KERMIT and a plain sum; the trace text of any block can be made.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "util/Crc16.h"
#include "xmodem/XModemBlock.h"

using namespace xmodem;

namespace {

constexpr std::size_t MaxInput = 3 + 2 * (3 + LargeDataSize + 2);

// CRC-16/KERMIT one bit at a time, as the textbooks write it.
uint16_t BitwiseCrc(std::string_view data)
{
    uint16_t crc = 0;
    for (unsigned char c : data) {
        crc ^= c;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0x8408) : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3 || size > MaxInput) return 0;
    const unsigned expected = data[0] | (unsigned(data[1]) << 8);
    const CheckMode mode = (data[2] & 1) ? CheckMode::Crc : CheckMode::Checksum;
    const std::string_view block(reinterpret_cast<const char*>(data + 3), size - 3);

    const BlockCheckResult r = VerifyBlock(block, expected, mode);
    FUZZ_CHECK(r.verdict == VerifyBlock(block, expected & 0xFF, mode).verdict);
    FUZZ_CHECK(std::string_view(BlockVerdictName(r.verdict)) != "?");

    const uint8_t header = block.empty() ? 0 : static_cast<uint8_t>(block[0]);
    const std::size_t dataSize = DataSizeFor(header);
    if (r.Accepted()) {
        FUZZ_CHECK(dataSize != 0 && r.data.size() == dataSize);
        FUZZ_CHECK(r.data.data() == block.data() + 3); // a view into the block itself
        FUZZ_CHECK(BuildBlock(header, expected, r.data, mode) == block);
    } else {
        FUZZ_CHECK(r.data.empty());
        if (dataSize != 0 && block.size() == BlockLength(header, mode))
            FUZZ_CHECK(BuildBlock(header, expected, block.substr(3, dataSize), mode) != block);
        if (dataSize == 0)
            FUZZ_CHECK(r.verdict == BlockVerdict::BadHeader);
        else if (block.size() != BlockLength(header, mode))
            FUZZ_CHECK(r.verdict == BlockVerdict::WrongLength);
    }

    // The check field of whatever follows the header, by the program and by hand.
    const std::string_view body = block.substr(std::min<std::size_t>(3, block.size()));
    const ByteString check = BlockCheck(body, mode);
    FUZZ_CHECK(check.size() == CheckSize(mode));
    if (mode == CheckMode::Crc) {
        const uint16_t crc = BitwiseCrc(body);
        FUZZ_CHECK(Crc16(body) == crc);
        FUZZ_CHECK(ByteAt(check, 0) == crc >> 8 && ByteAt(check, 1) == (crc & 0xFF));
    } else {
        unsigned sum = 0;
        for (unsigned char c : body) sum += c;
        FUZZ_CHECK(ByteAt(check, 0) == (sum & 0xFF));
    }

    FUZZ_CHECK(!DescribeBlock(block, mode).empty());
    return 0;
}
