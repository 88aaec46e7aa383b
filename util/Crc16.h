// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 16-bit CRC the calculator's XModem blocks carry.
#include <cstdint>
#include <string_view>

// CRC-16/KERMIT (reflected 0x1021, initial 0, no final XOR), four bits at a time.
uint16_t Crc16(std::string_view data);
