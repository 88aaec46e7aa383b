// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a received object's header says, as far as the programs read it: the file name
// it proposes (the main window's receive by wire and calvyx-cli receive) and, for an
// object that gives its own length, where it really ends.
//
// The header, bytes counted from 1: bytes 1 to 6 the signature "QVCALC", byte 7 the
// format, byte 8 flags, byte 9 the length L of the object's name and the name from byte
// 10 on. With flag bit 0 set (a sized object) the four bytes after the name hold the
// length of the whole object, header included, least significant byte first. Only the
// name is read from an object without the signature.
#include <cstddef>
#include <optional>

#include <QByteArray>
#include <QString>

#include "util/ByteString.h"

// The name in the object's header (byte 9 its length, 1 to 35, the name from byte 10
// on), or nothing. Characters that cannot stand in a file name here (separators,
// control characters) become "_", so the name never leaves the proposed folder.
std::optional<QString> HeaderObjectName(const QByteArray& object);
// The header's name, else "untitled".
QString ReceivedObjectName(const QByteArray& object);
// The length a sized object gives in its header, or nothing (no signature, not sized, or
// the header ends before the length).
std::optional<std::size_t> DeclaredObjectLength(const ByteString& object);
// How many of the received bytes are the object: the length its header gives when that
// ends inside the last block (whose data held lastBlockData bytes: the rest of that
// block is the XModem padding), else all of them. A length that would cut into an
// earlier block, or lies beyond what came, is not believed: nothing is cut then.
std::size_t ReceivedObjectEnd(const ByteString& received, std::size_t lastBlockData);
