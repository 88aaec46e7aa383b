// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/SerialPortList.h"
#include "mainwindow/SerialPortNames.h"

QStringList SerialPortNames()
{
    QStringList names;
    for (const std::string& port : ListSerialPorts()) names << QString::fromStdString(port);
    return names;
}
