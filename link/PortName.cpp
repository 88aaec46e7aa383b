#include "link/PortName.h"

#include <charconv>

#include "util/Utils.h"

bool IsUsbName(const std::string& name) { return name.find(UsbDeviceNameUpper) != std::string::npos; }

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
