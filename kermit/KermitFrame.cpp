// SPDX-License-Identifier: GPL-3.0-or-later
#include "kermit/KermitFrame.h"

#include <cstdio>

namespace kermit {

int KermitCheck(std::string_view bytes)
{
    unsigned s = 0;
    for (const char b : bytes) s += static_cast<unsigned char>(b);
    return static_cast<int>((s + ((s & 0xC0) >> 6)) & 0x3F);
}

ByteString BuildFrame(char type, int seq, std::string_view data)
{
    ByteString frame;
    frame.reserve(data.size() + 7);
    frame += static_cast<char>(Mark);
    frame += ToChar(static_cast<int>(data.size()) + 3);
    frame += ToChar(((seq % 64) + 64) % 64);
    frame += type;
    frame.append(data);
    frame += ToChar(KermitCheck(std::string_view(frame).substr(1)));
    frame += "\r\n";
    return frame;
}

bool NeedsPrefix(uint8_t b)
{
    const uint8_t low = b & 0x7F;
    return b == Qctl || low < 0x20 || low == 0x7F;
}

ByteString EncodeChunk(std::string_view source, std::size_t& pos, std::size_t maxField)
{
    ByteString field;
    while (pos < source.size() && field.size() < maxField) {
        const auto b = static_cast<uint8_t>(source[pos]);
        if (NeedsPrefix(b)) {
            if (field.size() + 2 > maxField) break;
            field += static_cast<char>(Qctl);
            field += static_cast<char>(b == Qctl ? b : b ^ 0x40);
        } else {
            field += static_cast<char>(b);
        }
        ++pos;
    }
    return field;
}

bool IsEncodedData(std::string_view field)
{
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto b = static_cast<uint8_t>(field[i]);
        if (b != Qctl) {
            if (NeedsPrefix(b)) return false;
            continue;
        }
        if (++i == field.size()) return false;
        const auto next = static_cast<uint8_t>(field[i]);
        if ((next & 0x7F) == Qctl) continue;
        const auto decoded = static_cast<uint8_t>(next ^ 0x40);
        if (!NeedsPrefix(decoded) || decoded == Qctl) return false;
    }
    return true;
}

ByteString DecodeData(std::string_view field)
{
    ByteString out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto b = static_cast<uint8_t>(field[i]);
        if (b != Qctl) {
            out += static_cast<char>(b);
        } else if (i + 1 == field.size()) {
            out += static_cast<char>(0x40); // a "#" with nothing after it: NUL's prefixed form
        } else {
            // The prefix byte itself travels prefixed, with or without its high bit
            // ("##", or "#" 0xA3 from a Kermit that prefixes the 8-bit form too).
            const auto next = static_cast<uint8_t>(field[++i]);
            out += static_cast<char>((next & 0x7F) == Qctl ? next : next ^ 0x40);
        }
    }
    return out;
}

std::string FrameTraceLine(const char* direction, uint8_t type, int seq)
{
    char line[64];
    std::snprintf(line, sizeof line, "%s Frame Type=0x%02X %c  seq= %d", direction, type, static_cast<char>(type), seq);
    return line;
}

std::string DescribeFrame(std::string_view frame)
{
    if (frame.size() < 5 || static_cast<uint8_t>(frame[0]) != Mark) return "no frame: " + HexBytes(frame, 24);
    const int n = UnChar(static_cast<uint8_t>(frame[1]));
    if (n < 3 || frame.size() < static_cast<std::size_t>(n) + 2)
        return "cut frame (LEN " + std::to_string(n) + "): " + HexBytes(frame, 24);
    const std::string_view data = frame.substr(4, static_cast<std::size_t>(n) - 3);
    const auto check = static_cast<uint8_t>(frame[1 + static_cast<std::size_t>(n)]);
    const bool good = ToChar(KermitCheck(frame.substr(1, static_cast<std::size_t>(n)))) == static_cast<char>(check);
    char head[48];
    std::snprintf(head, sizeof head, "%c seq %d [", frame[3], UnChar(static_cast<uint8_t>(frame[2])));
    std::string out = head;
    out += HexBytes(data, 24);
    char tail[32];
    std::snprintf(tail, sizeof tail, "] check %02X%s", check, good ? "" : " (wrong)");
    return out + tail;
}

} // namespace kermit
