// SPDX-License-Identifier: GPL-3.0-or-later
// The serial device names of link/PortName.h on Linux: "COMn" is /dev/ttyS(n-1).
#include <charconv>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "link/PortName.h"
#include "link/UsbPipes.h"

namespace {

// Majors of pseudo-terminal slaves: Unix98 ones (/dev/pts/N) from 136 to 143, the old
// BSD ones (/dev/ttyp0) 3.
constexpr unsigned Unix98PtySlaveFirstMajor = 136;
constexpr unsigned Unix98PtySlaveLastMajor = 143;
constexpr unsigned BsdPtySlaveMajor = 3;

} // namespace

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
