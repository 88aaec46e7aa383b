// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/cli/Port.h"

#include <cstdio>

#include "services/CalculatorSession.h"
#include "util/CalvyxError.h"

namespace cli {

bool ConnectCliSession(CalculatorSession& session, const std::string& port)
{
    try {
        session.Connect(port);
        return true;
    } catch (const CalvyxError& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    return false;
}

} // namespace cli
