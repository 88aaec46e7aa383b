// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/Utils.h"

#include <cstdio>

std::string FileNamePart(const std::string& path)
{
    const auto pos = path.find_last_of("/\\");
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string FormatText(const char* format, const std::string& arg)
{
    const int n = std::snprintf(nullptr, 0, format, arg.c_str());
    if (n <= 0) return format;
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), format, arg.c_str());
    out.resize(static_cast<std::size_t>(n));
    return out;
}

std::string AsciiUpper(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

namespace {

// Length of the UTF-8 sequence starting at text[i], or 0 when it is not a valid one.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t i)
{
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > text.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
    }
    return n;
}

bool IsValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = Utf8SequenceAt(text, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

void AppendEscaped(std::string& out, unsigned char c)
{
    static const char Hex[] = "0123456789abcdef";
    out += "\\x";
    out += Hex[c >> 4];
    out += Hex[c & 0xF];
}

} // namespace

std::string VisibleText(std::string_view text)
{
    const bool utf8 = IsValidUtf8(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\\') {
            out += "\\\\";
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            AppendEscaped(out, c);
            ++i;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if (!utf8) {
            if (c <= 0x9F)
                AppendEscaped(out, c);
            else
                out += static_cast<char>(c);
            ++i;
        } else {
            const std::size_t n = Utf8SequenceAt(text, i);
            // U+0080..U+009F are C2 80..C2 9F: the C1 controls (0x9B starts a CSI).
            const bool c1 = n == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
            for (std::size_t k = 0; k < n; ++k) {
                if (c1)
                    AppendEscaped(out, static_cast<unsigned char>(text[i + k]));
                else
                    out += text[i + k];
            }
            i += n;
        }
    }
    return out;
}

std::optional<unsigned> HexNumber(std::string_view text, std::size_t mostDigits)
{
    if (text.empty() || text.size() > mostDigits) return std::nullopt;
    unsigned value = 0;
    for (const char c : text) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}
