// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/PortName.h"

#include <charconv>

#include "util/Utils.h"

namespace {

// Four hex digits, any case; nothing else.
std::optional<uint16_t> HexWord(const std::string& text)
{
    if (text.size() != 4) return std::nullopt;
    const auto value = HexNumber(text, 4);
    if (!value) return std::nullopt;
    return static_cast<uint16_t>(*value);
}

} // namespace

std::optional<UsbId> ParseUsbId(const std::string& name)
{
    // "usb:" + 4 + ":" + 4
    if (name.size() != 13 || AsciiUpper(name.substr(0, 4)) != "USB:" || name[8] != ':') return std::nullopt;
    const auto vendor = HexWord(name.substr(4, 4));
    const auto product = HexWord(name.substr(9, 4));
    if (!vendor || !product) return std::nullopt;
    return UsbId{*vendor, *product};
}

std::string UsbIdName(UsbId id)
{
    static constexpr char Hex[] = "0123456789abcdef";
    std::string name = "usb:";
    for (const uint16_t word : {id.vendor, id.product}) {
        for (int shift = 12; shift >= 0; shift -= 4) name.push_back(Hex[(word >> shift) & 0xF]);
        name.push_back(':');
    }
    name.pop_back();
    return name;
}

std::string UsbSocket::KernelName() const
{
    std::string name = std::to_string(bus) + "-";
    for (std::size_t i = 0; i < ports.size(); ++i) name += (i ? "." : "") + std::to_string(ports[i]);
    return name;
}

std::optional<UsbSocket> ParseUsbKernelName(const std::string& text)
{
    // Buses and ports are small positive numbers; a hub chain is at most 7 deep.
    constexpr int MaxNumber = 255;
    constexpr std::size_t MaxDepth = 7;
    UsbSocket socket;
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    const auto number = [&](int& out) {
        const auto [next, ec] = std::from_chars(at, end, out);
        if (ec != std::errc() || next == at || *at == '0' || out < 1 || out > MaxNumber) return false;
        at = next;
        return true;
    };
    if (!number(socket.bus) || at == end || *at != '-') return std::nullopt;
    ++at;
    for (;;) {
        int port = 0;
        if (!number(port)) return std::nullopt;
        socket.ports.push_back(port);
        if (at == end) break;
        if (*at != '.' || socket.ports.size() == MaxDepth) return std::nullopt;
        ++at;
    }
    return socket;
}

std::optional<UsbSocket> ParseUsbSocket(const std::string& name)
{
    if (name.size() < 4 || AsciiUpper(name.substr(0, 4)) != "USB:") return std::nullopt;
    return ParseUsbKernelName(name.substr(4));
}

std::string UsbSocketName(const UsbSocket& socket) { return "usb:" + socket.KernelName(); }

bool IsUsbName(const std::string& name)
{
    const bool path = name.find('/') != std::string::npos;
    return name.find(UsbDeviceNameUpper) != std::string::npos || (!path && name.find(UsbDeviceName) != std::string::npos) ||
           ParseUsbId(name).has_value() || ParseUsbSocket(name).has_value();
}

std::string UpperCasePortName(const std::string& name)
{
    if (name.find('/') != std::string::npos) return name;
    std::string opened = AsciiUpper(name);
    const std::string upper = UsbDeviceNameUpper;
    for (auto at = opened.find(upper); at != std::string::npos; at = opened.find(upper, at + upper.size()))
        opened.replace(at, upper.size(), UsbDeviceName);
    return opened;
}
