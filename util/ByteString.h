// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Byte strings: file contents, Kermit data, XModem blocks, screen images and link
// buffers. std::string holds any byte, zero included, and knows its length.
#include <cstdint>
#include <string>
#include <string_view>

using ByteString = std::string;

// "01 23 FF" for traces and test failure messages.
std::string HexBytes(std::string_view bytes, std::size_t limit = 64);

inline uint8_t ByteAt(const ByteString& s, std::size_t i) { return static_cast<uint8_t>(s[i]); }
