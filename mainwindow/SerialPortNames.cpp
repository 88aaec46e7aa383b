// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/SerialPortNames.h"

#include <QSerialPortInfo>

QStringList SerialPortNames()
{
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        QString name = info.systemLocation();
        if (name.startsWith(QLatin1String("/dev/ttyS"))) {
            bool ok = false;
            const int n = name.mid(9).toInt(&ok);
            if (ok) name = QStringLiteral("COM%1").arg(n + 1);
        }
        names << name;
    }
    return names;
}
