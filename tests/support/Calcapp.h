// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Calculator objects (Calcapps) as the tests send them by wire.
#include <cstddef>
#include <cstdint>

#include "util/ByteString.h"

// The header (the signature "QVCALC", format 1, the flags, the name's length and the
// name; with flag bit 0, a sized object, the declared length after the name, least
// significant byte first), then bodySize bytes that look like nothing in particular.
inline ByteString CalcappObject(uint8_t flags, const ByteString& name, std::size_t declaredLength, std::size_t bodySize)
{
    ByteString object = "QVCALC\x01";
    object += static_cast<char>(flags);
    object += static_cast<char>(name.size());
    object += name;
    if (flags & 1)
        for (int i = 0; i < 4; ++i) object += static_cast<char>((declaredLength >> (8 * i)) & 0xFF);
    for (std::size_t i = 0; i < bodySize; ++i) object += static_cast<char>((i * 31 + 7) & 0xFF);
    return object;
}

// An object of size bytes in all; a sized one (flag bit 0) declares that size.
inline ByteString CalcappOfSize(uint8_t flags, const ByteString& name, std::size_t size)
{
    const std::size_t header = 9 + name.size() + ((flags & 1) ? 4 : 0);
    return CalcappObject(flags, name, size, size > header ? size - header : 0);
}
