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
    unsigned value = 0;
    for (const char c : text) {
        unsigned digit;
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
    return static_cast<uint16_t>(value);
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

bool IsUsbName(const std::string& name)
{
    return name.find(UsbDeviceNameUpper) != std::string::npos || ParseUsbId(name).has_value();
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
