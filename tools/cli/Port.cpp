#include "tools/cli/Port.h"

#include <cstdio>

#include "link/PortLink.h"
#include "util/GeneralError.h"
#include "util/StringTable.h"

namespace cli {

bool OpenCliPort(const std::string& port)
{
    try {
        CloseLink();
        OpenLink(UpperCasePortName(port), LinkBaud);
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

std::string PortNameToOpen(const std::string& port) { return UpperCasePortName(port); }

void OpenPortUnlessOpen(const std::string& port)
{
    if (!LinkIsOpen()) OpenLink(UpperCasePortName(port), LinkBaud);
}

void ClosePort() { CloseLink(); }

} // namespace cli
