// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// XModem blocks as they travel between PC and calculator, in both directions: the
// control bytes, the 128- and 1024-byte block layouts and the two block checks. Pure
// functions over byte strings; the send driver and the wire receive do the I/O.
//
//   SOH|STX  number  255-number  data (128|1024)  check (1 byte sum | 2 bytes CRC, high first)
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "util/ByteString.h"

namespace xmodem {

inline constexpr uint8_t SOH = 0x01; // block of 128 data bytes
inline constexpr uint8_t STX = 0x02; // block of 1024 data bytes
inline constexpr uint8_t EOT = 0x04; // end of transmission
inline constexpr uint8_t ACK = 0x06;
inline constexpr uint8_t NAK = 0x15;     // refused; as a start byte: checksum blocks
inline constexpr uint8_t CAN = 0x18;     // one is enough to abort
inline constexpr uint8_t CrcStart = 'D'; // the calculator's start byte for CRC blocks

inline constexpr std::size_t SmallDataSize = 128;
inline constexpr std::size_t LargeDataSize = 1024;
// Fills the unused tail of a last, short block; the receiver keeps it but it means nothing.
inline constexpr char PadByte = 0x1A;

enum class CheckMode { Checksum, Crc };

// The mode a sender uses for the receiver's start byte (NAK: checksum, 'D': CRC).
CheckMode CheckModeForStart(uint8_t startByte);
const char* CheckModeName(CheckMode mode);

// The sum of the data bytes modulo 256.
uint8_t Checksum8(std::string_view data);
// The check field of a block's data: one checksum byte, or the CRC-16/KERMIT high byte first.
ByteString BlockCheck(std::string_view data, CheckMode mode);
std::size_t CheckSize(CheckMode mode);

// Data bytes behind a header byte: 128 for SOH, 1024 for STX, 0 for anything else.
std::size_t DataSizeFor(uint8_t header);
// Whole block length for a header byte (132/133 or 1028/1029), 0 for a non-header byte.
std::size_t BlockLength(uint8_t header, CheckMode mode);

// Builds one block. header is SOH or STX; data holds at most that block's data size and
// is padded with PadByte. The number goes on the wire modulo 256.
ByteString BuildBlock(uint8_t header, unsigned number, std::string_view data, CheckMode mode);

enum class BlockVerdict { Ok, BadHeader, WrongLength, BadNumber, BadComplement, BadCheck };
const char* BlockVerdictName(BlockVerdict verdict);

struct BlockCheckResult {
    BlockVerdict verdict = BlockVerdict::BadHeader;
    std::string_view data; // the data bytes (padding included) when verdict is Ok
    bool Accepted() const { return verdict == BlockVerdict::Ok; }
};

// Checks a whole block (header included) against the number the receiver expects (its
// low byte is compared). A block repeated with an already accepted number is refused
// like any damaged block. The result's data views into block.
BlockCheckResult VerifyBlock(std::string_view block, unsigned expectedNumber, CheckMode mode);

// "STX #3 (~252) 1024 data [41 42 ...] sum 5C" for traces and test messages; a block
// that does not parse is shown as hex bytes with the reason.
std::string DescribeBlock(std::string_view block, CheckMode mode);

} // namespace xmodem
