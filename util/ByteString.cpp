// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/ByteString.h"

#include <cstdio>

std::string HexBytes(std::string_view bytes, std::size_t limit)
{
    std::string out;
    const std::size_t n = bytes.size() < limit ? bytes.size() : limit;
    for (std::size_t i = 0; i < n; ++i) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned char>(bytes[i]));
        if (i) out += ' ';
        out += buf;
    }
    if (n < bytes.size()) out += " ... (" + std::to_string(bytes.size()) + " bytes)";
    return out;
}
