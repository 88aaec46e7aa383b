// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/PortName.h"

#include <charconv>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "link/UsbPipes.h"
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

// Majors of pseudo-terminal slaves: Unix98 ones (/dev/pts/N) from 136 to 143, the old
// BSD ones (/dev/ttyp0) 3.
constexpr unsigned Unix98PtySlaveFirstMajor = 136;
constexpr unsigned Unix98PtySlaveLastMajor = 143;
constexpr unsigned BsdPtySlaveMajor = 3;

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
    return name.find(UsbDeviceNameUpper) != std::string::npos || ParseUsbId(name).has_value() || ParseUsbSocket(name).has_value();
}

std::string UpperCasePortName(const std::string& name)
{
    if (name.find('/') != std::string::npos) return name;
    return AsciiUpper(name);
}

std::string SerialDevicePath(const std::string& name)
{
    if (name.size() > 3 && name.compare(0, 3, "COM") == 0) {
        // A number too large for the type is no COM name either; it stays as given.
        unsigned n = 0;
        const char* end = name.data() + name.size();
        const auto [at, ec] = std::from_chars(name.data() + 3, end, n);
        if (ec == std::errc() && at == end && n >= 1 && n <= 256) return "/dev/ttyS" + std::to_string(n - 1);
    }
    return name;
}

bool PortPresent(const std::string& name)
{
    const std::string opened = UpperCasePortName(name);
    if (IsUsbName(opened)) return UsbDevicePresent(opened);
    struct stat st {};
    return ::stat(SerialDevicePath(opened).c_str(), &st) == 0;
}

bool IsPseudoTerminal(const std::string& name)
{
    const std::string opened = UpperCasePortName(name);
    if (IsUsbName(opened)) return false;
    struct stat st {};
    if (::stat(SerialDevicePath(opened).c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    const unsigned m = major(st.st_rdev);
    return (m >= Unix98PtySlaveFirstMajor && m <= Unix98PtySlaveLastMajor) || m == BsdPtySlaveMajor;
}
