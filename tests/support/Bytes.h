// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Byte strings spelled as numbers in tests: Bytes({0x01, 0x23, 0x20}).
#include <initializer_list>

#include "util/ByteString.h"

inline ByteString Bytes(std::initializer_list<int> values)
{
    ByteString s;
    for (int v : values) s += static_cast<char>(v);
    return s;
}
