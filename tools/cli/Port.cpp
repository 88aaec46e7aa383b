#include "tools/cli/Port.h"

#include <cstdio>

#include "services/TransferServer.h"
#include "util/CalvyxError.h"

namespace cli {

bool OpenCliPort(TransferServer& server, const std::string& port)
{
    try {
        server.SelectPort(port);
        return true;
    } catch (const CalvyxError& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    return false;
}

} // namespace cli
