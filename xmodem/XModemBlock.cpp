// SPDX-License-Identifier: GPL-3.0-or-later
#include "xmodem/XModemBlock.h"

#include <cstdio>
#include <stdexcept>

#include "util/Crc16.h"

namespace xmodem {

CheckMode CheckModeForStart(uint8_t startByte) { return startByte == CrcStart ? CheckMode::Crc : CheckMode::Checksum; }

const char* CheckModeName(CheckMode mode) { return mode == CheckMode::Crc ? "CRC" : "checksum"; }

uint8_t Checksum8(std::string_view data)
{
    unsigned sum = 0;
    for (const char b : data) sum += static_cast<unsigned char>(b);
    return static_cast<uint8_t>(sum & 0xFF);
}

ByteString BlockCheck(std::string_view data, CheckMode mode)
{
    if (mode == CheckMode::Checksum) return ByteString(1, static_cast<char>(Checksum8(data)));
    const uint16_t crc = Crc16(data);
    return {static_cast<char>(crc >> 8), static_cast<char>(crc & 0xFF)};
}

std::size_t CheckSize(CheckMode mode) { return mode == CheckMode::Crc ? 2 : 1; }

std::size_t DataSizeFor(uint8_t header)
{
    switch (header) {
    case SOH:
        return SmallDataSize;
    case STX:
        return LargeDataSize;
    default:
        return 0;
    }
}

std::size_t BlockLength(uint8_t header, CheckMode mode)
{
    const std::size_t n = DataSizeFor(header);
    return n == 0 ? 0 : 3 + n + CheckSize(mode);
}

ByteString BuildBlock(uint8_t header, unsigned number, std::string_view data, CheckMode mode)
{
    const std::size_t size = DataSizeFor(header);
    if (size == 0) throw std::invalid_argument("XModem block header must be SOH or STX");
    if (data.size() > size) throw std::invalid_argument("XModem block data longer than the block");
    const auto n = static_cast<uint8_t>(number & 0xFF);
    ByteString block;
    block.reserve(BlockLength(header, mode));
    block += static_cast<char>(header);
    block += static_cast<char>(n);
    block += static_cast<char>(255 - n);
    block.append(data);
    block.append(size - data.size(), PadByte);
    block += BlockCheck(std::string_view(block).substr(3, size), mode);
    return block;
}

const char* BlockVerdictName(BlockVerdict verdict)
{
    switch (verdict) {
    case BlockVerdict::Ok:
        return "ok";
    case BlockVerdict::BadHeader:
        return "bad header";
    case BlockVerdict::WrongLength:
        return "wrong length";
    case BlockVerdict::BadNumber:
        return "unexpected block number";
    case BlockVerdict::BadComplement:
        return "bad complement";
    case BlockVerdict::BadCheck:
        return "check does not match";
    }
    return "?";
}

BlockCheckResult VerifyBlock(std::string_view block, unsigned expectedNumber, CheckMode mode)
{
    BlockCheckResult r;
    if (block.empty() || DataSizeFor(static_cast<uint8_t>(block[0])) == 0) return r;
    const auto header = static_cast<uint8_t>(block[0]);
    if (block.size() != BlockLength(header, mode)) {
        r.verdict = BlockVerdict::WrongLength;
        return r;
    }
    const auto number = static_cast<uint8_t>(block[1]);
    const auto complement = static_cast<uint8_t>(block[2]);
    const std::string_view data = block.substr(3, DataSizeFor(header));
    if (number != static_cast<uint8_t>(expectedNumber & 0xFF)) {
        r.verdict = BlockVerdict::BadNumber;
    } else if (complement != static_cast<uint8_t>(255 - number)) {
        r.verdict = BlockVerdict::BadComplement;
    } else if (block.substr(3 + data.size()) != BlockCheck(data, mode)) {
        r.verdict = BlockVerdict::BadCheck;
    } else {
        r.verdict = BlockVerdict::Ok;
        r.data = data;
    }
    return r;
}

std::string DescribeBlock(std::string_view block, CheckMode mode)
{
    const uint8_t header = block.empty() ? 0 : static_cast<uint8_t>(block[0]);
    const std::size_t size = DataSizeFor(header);
    if (size == 0 || block.size() != BlockLength(header, mode))
        return "not a " + std::string(CheckModeName(mode)) + " block (" + std::to_string(block.size()) +
               " bytes): " + HexBytes(block, 16);
    char head[64];
    std::snprintf(head, sizeof head, "%s #%u (~%u) %zu data [", header == SOH ? "SOH" : "STX", static_cast<uint8_t>(block[1]),
                  static_cast<uint8_t>(block[2]), size);
    std::string out = head;
    out += HexBytes(block.substr(3, size), 8);
    out += mode == CheckMode::Crc ? "] crc " : "] sum ";
    out += HexBytes(block.substr(3 + size));
    return out;
}

} // namespace xmodem
