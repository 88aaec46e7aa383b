// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/cli/Port.h"

#include <QFileInfo>
#include <QString>

#include <cstdio>

#include "link/LinkErrors.h"
#include "link/PortName.h"
#include "services/CalculatorSession.h"
#include "services/TransferServer.h"
#include "tools/cli/Terminal.h"
#include "util/CalvyxError.h"

namespace cli {

namespace {

// The reason the core put after the port's name in its open error, or empty.
std::string ReasonIn(const std::string& port, const std::string& error)
{
    std::string plain = OpenErrorText(port); // "Error(... to: PORT)"
    plain.pop_back();
    const std::string withReason = plain + ". ";
    if (error.size() > withReason.size() && error.compare(0, withReason.size(), withReason) == 0 && error.back() == ')')
        return error.substr(withReason.size(), error.size() - withReason.size() - 1);
    return {};
}

} // namespace

std::string PortProblem(const std::string& port, const std::string& reason)
{
    if (!reason.empty()) return reason;
    if (!PortPresent(port)) return "no such device";
    if (!IsUsbPortName(port)) {
        const QFileInfo device(QString::fromStdString(SerialDevicePath(UpperCasePortName(port))));
        if (device.exists() && !(device.isReadable() && device.isWritable())) return "permission denied";
    }
    return "the device did not open";
}

std::string PortErrorLineWithReason(const char* command, const std::string& port, const std::string& reason)
{
    return std::string("calvyx-cli ") + command + ": cannot open " + port + ": " + PortProblem(port, reason);
}

std::string PortErrorLine(const char* command, const std::string& port, const std::string& error)
{
    return PortErrorLineWithReason(command, port, ReasonIn(port, error));
}

void PrintOpenedPort(CalculatorSession& session)
{
    session.Transfers().SetOnServerStatus([](const ServerStatus& status) {
        if (status.state == ServerState::Connected || status.state == ServerState::Copying) PrintLine(ServerStatusText(status));
    });
}

bool ConnectCliSession(CalculatorSession& session, const std::string& port, const char* command)
{
    try {
        session.Connect(port);
        return true;
    } catch (const CalvyxError& e) {
        std::fprintf(stderr, "%s\n", PortErrorLine(command, port, e.what()).c_str());
    }
    return false;
}

} // namespace cli
