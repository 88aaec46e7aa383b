// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's one command-line argument: the connection.
#include <optional>
#include <string>

#include <QString>
#include <QStringList>

// The program's arguments, the program itself first: set once by the program entry
// (tests set their own); QCoreApplication::arguments() when nobody set them.
void SetProgramArguments(const QStringList& args);
QStringList ProgramArguments();

// The argument that chooses the connection: the first non-empty one after the program.
// Empty when there is none.
QString ConnectionArgument(const QStringList& args);

// The connection an argument chooses, exactly as typed: the USB device name in any
// letter case, a name starting with "COM" in any letter case, or a device path
// ("/dev/ttyUSB0", a pseudo-terminal). Anything else chooses nothing.
std::optional<std::string> PortFromArgument(const QString& arg);

// The connection the program's arguments choose.
std::optional<std::string> PortFromArguments(const QStringList& args);
