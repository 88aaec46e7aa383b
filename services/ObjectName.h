// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file name a received object proposes, shared by the main window's receive by wire
// and calvyx-cli receive.
#include <QByteArray>
#include <QString>

// The name in the object's header (byte 9 its length, 1 to 35, the name from byte 10
// on), else "untitled". Characters that cannot stand in a file name here (separators,
// control characters) become "_", so the name never leaves the proposed folder.
QString ReceivedObjectName(const QByteArray& object);
