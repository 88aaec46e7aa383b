// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/CommandLine.h"

#include <QCoreApplication>

#include "link/PortName.h"
#include "util/Utils.h"

namespace {

struct StoredArguments {
    QStringList args;
    bool set = false;
};

StoredArguments& Stored()
{
    static StoredArguments stored;
    return stored;
}

} // namespace

void SetProgramArguments(const QStringList& args)
{
    Stored().args = args;
    Stored().set = true;
}

QStringList ProgramArguments()
{
    if (Stored().set || !QCoreApplication::instance()) return Stored().args;
    return QCoreApplication::arguments();
}

QString ConnectionArgument(const QStringList& args)
{
    for (qsizetype i = 1; i < args.size(); ++i)
        if (!args[i].isEmpty()) return args[i];
    return {};
}

std::optional<std::string> PortFromArgument(const QString& arg)
{
    if (arg.isEmpty()) return std::nullopt;
    const std::string p = arg.toStdString();
    if (AsciiUpper(p) == UsbDeviceNameUpper || AsciiUpper(p.substr(0, 3)) == "COM") return p;
    // A device path names a serial adapter or a pseudo-terminal directly.
    if (p.size() > 1 && p.front() == '/') return p;
    return std::nullopt;
}

std::optional<std::string> PortFromArguments(const QStringList& args) { return PortFromArgument(ConnectionArgument(args)); }
