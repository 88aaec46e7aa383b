// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Byte strings for tests: spelled as numbers, Bytes({0x01, 0x23, 0x20}), or random.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <random>

#include "util/ByteString.h"

inline ByteString Bytes(std::initializer_list<int> values)
{
    ByteString s;
    for (int v : values) s += static_cast<char>(v);
    return s;
}

// Bytes that look like nothing in particular (every value, no pattern a codec could
// take a shortcut on), the same for the same seed.
inline ByteString RandomBytes(std::size_t n, uint32_t seed)
{
    std::mt19937 rng(seed);
    ByteString out(n, '\0');
    for (auto& c : out) c = static_cast<char>(rng() & 0xFF);
    return out;
}
