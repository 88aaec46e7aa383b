// SPDX-License-Identifier: GPL-3.0-or-later
// The 16-bit CRC the calculator's XModem blocks carry: the reflected CCITT polynomial
// (0x8408), starting at 0, computed a byte at a time.
// A file of its own so that the fuzz build can leave its loop out of comparison tracing
// (fuzz/CMakeLists.txt).
#include <array>
#include <cstdint>
#include <string_view>

#include "util/Crc16.h"

namespace {

// Entry b: the CRC of the byte b, built before main runs.
constexpr std::array<uint16_t, 256> MakeCrcTable()
{
    std::array<uint16_t, 256> table{};
    for (unsigned b = 0; b < 256; ++b) {
        unsigned crc = b;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0x8408u : crc >> 1;
        table[b] = static_cast<uint16_t>(crc);
    }
    return table;
}
constexpr std::array<uint16_t, 256> CrcTable = MakeCrcTable();

} // namespace

uint16_t Crc16(std::string_view data)
{
    uint16_t crc = 0;
    for (const char c : data) crc = static_cast<uint16_t>((crc >> 8) ^ CrcTable[(crc ^ static_cast<unsigned char>(c)) & 0xFF]);
    return crc;
}
