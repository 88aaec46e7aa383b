#include "tools/cli/Port.h"

#include <QString>

#include <cstdio>

#include "link/PortLink.h"
#include "util/GeneralError.h"
#include "util/StringTable.h"

namespace cli {

std::string LinkNameFor(const std::string& port)
{
    const std::string upper = QString::fromStdString(port).toUpper().toStdString();
    if (IsUsbName(upper)) return upper;
    if (upper.rfind("COM", 0) == 0 && port.find('/') == std::string::npos) return upper;
    return port;
}

bool OpenCliPort(const std::string& port)
{
    try {
        CloseLink();
        OpenLink(LinkNameFor(port), LinkBaud);
        SetLongTimeouts();
        return true;
    } catch (const CalvyxError&) {
        try {
            CloseLink();
        } catch (const CalvyxError&) {
        }
    }
    std::fprintf(stderr, "%s(The connectivity kit is unable to open communications to: %s)\n", Str::Error,
                 port.c_str());
    return false;
}

} // namespace cli
